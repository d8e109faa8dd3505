#include "app/Browser.hpp"

#include <cstdlib>

void openInBrowser(const std::string& url) {
    // The shell's start command hands the page to the default browser.
    const std::string command = "start " + url;
    (void)std::system(command.c_str());
}
