#pragma once

// Result codes of opening a link target. A code above 32 means the target was handed to a
// program that takes it; 32 and below are failures, each with its own message (see
// CHyperLink::LinkErrorText).
//
// How the failures of this desktop map onto them:
//  - empty target, or one that is no valid address ............. FileNotFound (2)
//  - the desktop's opener (xdg-open) could not be run ........... NoAssoc (31)
//  - the opener ended with a failure status (FromOpenerExit):
//    2 the target names a file that does not exist .............. FileNotFound (2)
//    3 no program for the target (a needed tool is missing) ...... NoAssoc (31)
//    1 (bad call), 4 (the program failed), any other, a crash ... AssocIncomplete (27)
//    After any of these the default web browser is tried; when no browser command is
//    known the link reports the opener's own code
//  - the opener still runs when its patience is over ............ Opened (42)
//  - the browser's program cannot be found or started ........... FileNotFound (2)
//  - the browser command line with the target would not fit its
//    520-character buffer: refused, nothing is run ............... OutOfMemory (8)
namespace LinkResult {
constexpr int OutOfResources = 0;
constexpr int FileNotFound = 2;
constexpr int PathNotFound = 3;
constexpr int AccessDenied = 5;
constexpr int OutOfMemory = 8;
constexpr int BadFormat = 11;
constexpr int SharingViolation = 26;
constexpr int AssocIncomplete = 27;
constexpr int DdeTimeout = 28;
constexpr int DdeFail = 29;
constexpr int DdeBusy = 30;
constexpr int NoAssoc = 31;
constexpr int DllNotFound = 32;
constexpr int Opened = 42;

constexpr bool Succeeded(int nResult)
{
    return nResult > 32;
}

// The result of an opener that ended normally with this exit status.
constexpr int FromOpenerExit(int nExitStatus)
{
    switch (nExitStatus) {
    case 0:
        return Opened;
    case 2:
        return FileNotFound;
    case 3:
        return NoAssoc;
    default:
        return AssocIncomplete;
    }
}
} // namespace LinkResult
