#pragma once

#include "support/RunFolder.h"

#include <string>

// Where the build put the generated files: the run folder and the resource build.
inline std::string RunPath(const std::string& relative)
{
    return std::string(ZANDOR_TEST_RUN_DIR) + "/" + relative;
}
inline std::string ResPath(const std::string& name)
{
    return std::string(ZANDOR_TEST_RES_DIR) + "/" + name;
}
