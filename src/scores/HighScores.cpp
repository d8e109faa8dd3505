#include "app/Game.hpp"
#include "scores/ScoreFile.hpp"

#include <iostream>

void Game::loadHighScores() {
    highScores = loadScoreFile(kScoreFileName);
}

void Game::saveHighScore(const std::string& name, int score) {
    const HighScoreEntry entry{name, score};
    std::error_code error;
    if (std::optional<std::vector<HighScoreEntry>> written =
            recordScoreInFile(kScoreFileName, entry, error)) {
        highScores = std::move(*written);
        // Results that could not be stored earlier still count for this run.
        for (const HighScoreEntry& unsaved : unsavedScores)
            insertScore(highScores, unsaved);
        scoreSaveFailed = false;
        return;
    }
    // The result still counts for this run; the list page says it was not stored.
    insertScore(highScores, entry);
    unsavedScores.push_back(entry);
    scoreSaveFailed = true;
    std::cerr << "tundrel: could not save the result to " << kScoreFileName << ": "
              << error.message() << '\n';
}

bool Game::qualifiesForHighScore() const {
    return qualifiesForTable(highScores, score);
}
