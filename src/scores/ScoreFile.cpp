// Parsing and writing the score file; filled in with the high-score table.
