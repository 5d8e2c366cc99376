#pragma once

#include <string>

// Replacing a small file of ours (the profile, the best results) so that a
// crash or a kill at any moment leaves either the old file or the new one,
// never half of either: the text goes to a temporary file beside it, is
// flushed to the disk and then renamed over the old file.
//
// Only a regular file is replaced, or the regular file a link names (the link
// stays). Temporary files that earlier saves of the same file left behind
// (their process is gone, or they are over an hour old) are removed first.
class CAtomicFile {
public:
    // Writes `text` as the new content of `path`. `newMode` gives the
    // permissions of a file that does not exist yet; an existing one keeps
    // its own. Creates the folder when the file does not exist. On failure
    // the old file is untouched, `why` says what went wrong in a few lowercase
    // words ("not a regular file", "permission denied", ...) and false is
    // returned.
    static bool Write(const std::string& path, const std::string& text, unsigned newMode, std::string& why);

    // The names of the temporary files of saves of `path` start with this
    // (".<name>.tmp"), followed by "<pid>.<n>".
    static std::string TempPrefix(const std::string& path);
};
