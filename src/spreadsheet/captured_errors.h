#pragma once
// What a library writes on standard error while it works, caught instead of
// reaching the terminal unannounced: the writer library reports a full disk
// or a failed zip step only there. While a capture lives, descriptor 2 goes
// to a temporary file; text() gives it back and restores the descriptor.
// When the capture cannot be set up, standard error stays as it was.
#include <string>

namespace wox::spreadsheet {

class CapturedErrors {
public:
    CapturedErrors();
    ~CapturedErrors();
    CapturedErrors(const CapturedErrors&) = delete;
    CapturedErrors& operator=(const CapturedErrors&) = delete;

    // Ends the capture (once) and answers what was written, without the
    // last line end.
    std::string text();

private:
    int saved_ = -1;  // the descriptor standard error had
    int file_ = -1;   // the temporary file that stands in for it
};

}  // namespace wox::spreadsheet
