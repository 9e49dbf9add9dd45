// The end-of-file lines that every language's parser writes after its own
// block count: parentheses left open and a statement left unfinished.
#pragma once

#include <string>

// "[ name ]で丸括弧の数が合いません。" with the count when parenDepth is not
// 0; "[ name ]でｽﾃｰﾀｽｴﾗｰを起こしました。[state]" when the state is not 0.
void logOpenStatements(const std::string& fileName, int parenDepth, int statementState);
