#include "app/Browser.hpp"

// Filled in with the input handling.
void openInBrowser(const std::string&) {}
