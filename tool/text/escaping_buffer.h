#pragma once

#include <streambuf>

// Passes text on to another stream buffer with its control characters
// escaped, so that a name in a model file cannot move the cursor, clear the
// screen or retitle the terminal: ESC becomes \x1B, CR \x0D, DEL \x7F, and a
// C1 control character (U+0080 to U+009F, which some terminals obey like
// ESC) \u0080 to \u009F. Line feeds pass, since every output is made of
// lines. JSON text never holds a control character, so it passes unchanged.
class EscapingBuffer : public std::streambuf {
  public:
    explicit EscapingBuffer(std::streambuf* target) : target_(target) {}
    EscapingBuffer(const EscapingBuffer&) = delete;
    EscapingBuffer& operator=(const EscapingBuffer&) = delete;
    ~EscapingBuffer() override;

    // The errno value of the first write that failed, 0 while none has: the
    // reason, kept from the moment it happened.
    int first_error() const { return first_error_; }

  protected:
    int_type overflow(int_type character) override;
    std::streamsize xsputn(const char* text, std::streamsize count) override;
    // Flushes the target; a byte held as the start of a C1 character stays held.
    int sync() override;

  private:
    bool put(unsigned char byte);
    bool write(const char* text, std::streamsize count);

    std::streambuf* target_;
    bool lead_held_ = false;
    int first_error_ = 0;  // 0xC2 was the last byte: a C1 character may follow
};
