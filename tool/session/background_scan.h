#pragma once

#include <atomic>
#include <future>
#include <string>

#include "model_file_scan.h"

// The file's light scan, run on a thread of its own while the caller does
// other work, mostly the plug-in loading the same file on the calling
// thread: the two readings of a large file then take the time of one. The
// scan touches nothing but the file and its own result, never the plug-in
// or the host, which are the calling thread's alone. Raises std::system_error
// when no thread can be started.
class BackgroundScan {
  public:
    BackgroundScan(const std::string& model_path, ScanTexts texts);
    // Stops a scan still running (its result is not wanted) and waits for
    // its thread, so no thread outlives the scan's owner.
    ~BackgroundScan();

    BackgroundScan(const BackgroundScan&) = delete;
    BackgroundScan& operator=(const BackgroundScan&) = delete;

    ScanTexts texts() const { return texts_; }
    // Waits for the scan and hands over its result; raises what the scan
    // raised. Once only.
    ModelFileScan take();

  private:
    ScanTexts texts_;
    std::atomic<bool> stop_{false};
    std::future<ModelFileScan> result_;
};
