#pragma once

#include <string>

// Opens a web page in the default browser without waiting for it.
void openInBrowser(const std::string& url);
