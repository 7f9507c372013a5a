#include "background_scan.h"

BackgroundScan::BackgroundScan(const std::string& model_path, ScanTexts texts)
    : texts_(texts), result_(std::async(std::launch::async, [this, model_path, texts] {
          return scan_model_file(model_path, texts, &stop_);
      })) {}

BackgroundScan::~BackgroundScan() {
    if (result_.valid()) {
        stop_ = true;
        result_.wait();
    }
}

ModelFileScan BackgroundScan::take() {
    return result_.get();
}
