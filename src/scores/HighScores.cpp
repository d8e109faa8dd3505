#include "app/Game.hpp"
#include "scores/ScoreFile.hpp"

#include <iostream>

void Game::loadHighScores() {
    highScores = loadScoreFile(kScoreFileName);
}

void Game::saveHighScore(const std::string& name, int score) {
    insertScore(runScores.unwritten, {name, score});
    std::error_code error;
    // Every result of the run goes in, those whose saves failed as well.
    if (std::optional<std::vector<HighScoreEntry>> written = recordScoreInFile(kScoreFileName, runScores, error)) {
        highScores = std::move(*written);
        for (HighScoreEntry& entry : runScores.unwritten)
            insertScore(runScores.written, std::move(entry));
        runScores.unwritten.clear();
        scoreSaveFailed = false;
        return;
    }
    // The result still counts for this run; the list page says it was not stored.
    insertScore(highScores, {name, score});
    scoreSaveFailed = true;
    std::cerr << "tundrel: could not save the result to " << kScoreFileName << ": "
              << error.message() << '\n';
}

bool Game::qualifiesForHighScore() const {
    return qualifiesForTable(highScores, score);
}
