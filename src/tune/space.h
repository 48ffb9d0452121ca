#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "assist/parameters.h"

namespace pado::tune {

using ParamValues = std::array<float, assistParamCount>;

// The values one parameter may take: min, min + step, ... up to max. A fixed parameter has min == max.
struct Dimension {
    double min = 0;
    double max = 0;
    double step = 1;

    // How many values the grid holds (1 for a fixed parameter).
    int Count() const;
    // The k-th value, rounded to the step's decimals so that it is written and read back exactly.
    float Value(int k) const;
    // The grid index nearest to v.
    int Nearest(float v) const;
};

class SearchSpace {
public:
    // Every parameter over the range documented in the manual.
    static SearchSpace Default();

    const Dimension& operator[](std::size_t i) const { return dims_[i]; }
    // Parameters with more than one value, in index order.
    std::size_t FreeCount() const;

    // Narrows or fixes parameters from the text of a space file: one "index=min:max:step" or "index=value"
    // per line, index 1..22 as the parameter dialog numbers the boxes; blank lines and lines starting with
    // '#' are skipped. Nothing changes and error says why (line number and text) when a line is wrong.
    bool Apply(const std::string& text, std::string& error);
    // Apply with the text of the file at path; error names the file when it cannot be read.
    bool ApplyFile(const std::string& path, std::string& error);
    // The table --print-space shows: index, name, min, max, step, default.
    std::string Describe() const;

private:
    std::array<Dimension, assistParamCount> dims_ {};
};

// Parameters as repara.txt keeps them: one value a line, as the parameter dialog writes them.
Lines ParameterLines(const ParamValues& values);
// Writes repara.txt at path the way the program writes the files the user keeps: atomically, through a
// link to its target. Throws UserError when it cannot.
void WriteParameterFile(const std::string& path, const ParamValues& values);
// Reads a settings file the way start-up does: defaults for lines the file does not have. Throws
// UserError when it cannot be read.
ParamValues ReadParameterFile(const std::string& path);

} // namespace pado::tune
