#pragma once

#include "engine/solver/Cell.h"

#include <string>
#include <vector>

// What the solver found for one board.
struct CSolveResult {
    enum class EStatus {
        Solved,      // moves lead to the finished picture (empty when it already is)
        Unsolvable,  // a well-formed board that no sequence of moves can finish
        Malformed,   // wrong size or tile ids; message says what is wrong
        Interrupted, // the caller's limits came before any solution; moves empty
    };

    EStatus status = EStatus::Interrupted;
    std::vector<CCell> moves; // cells to click, in order
    bool bOptimal = false;    // no shorter solution exists
    bool bFellBack = false;   // limits cut the shortest search: moves are the short solution
    std::string message;
};
