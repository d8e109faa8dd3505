#include "app/Browser.hpp"

#include <cstdlib>

void openInBrowser(const std::string& url) {
    // The shell's start command hands the page to the default browser. Quoted,
    // so the shell takes '&' or '^' in a query as part of the address; the
    // empty first argument is the console title start would otherwise take.
    if (url.find('"') != std::string::npos)
        return;
    const std::string command = "start \"\" \"" + url + "\"";
    static_cast<void>(std::system(command.c_str()));
}
