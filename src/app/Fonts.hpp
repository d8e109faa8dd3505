// Finding the one font the game draws with.
#pragma once

#include <SFML/Graphics/Font.hpp>

#include <iostream>
#include <string>
#include <vector>

// Paths to try, best first, each platform's own: on Windows the fonts the
// game was designed with in the system's fonts folder; elsewhere what
// fontconfig matches for "monospace", then a few well-known files.
std::vector<std::string> fontCandidates();

// Opens the first candidate that loads. Returns its index, or -1 when none
// does: the game then runs without text, and says so in one line on report,
// with the fonts it tried.
int openFirstFont(sf::Font& font, const std::vector<std::string>& candidates,
                  std::ostream& report = std::cerr);
