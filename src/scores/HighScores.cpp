#include "app/Game.hpp"
#include "scores/ScoreFile.hpp"

void Game::loadHighScores() {
    highScores = loadScoreFile(kScoreFileName);
}

void Game::saveHighScore(const std::string& name, int score) {
    insertScore(highScores, HighScoreEntry{name, score});
    // A failed write keeps the old file; the table in memory still has the
    // new entry until the game ends.
    writeScoreFile(kScoreFileName, formatScoreText(highScores));
}

bool Game::qualifiesForHighScore() const {
    return qualifiesForTable(highScores, score);
}
