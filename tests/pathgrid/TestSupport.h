#pragma once

#include <string>
#include <vector>

#include "BmpWriter.h"
#include "Grid.h"

// Maps written as rows of characters: '.' ground, '~' water, '#' blocked.
using MapRows = std::vector<std::string>;

// Colours that load as each tile, away from the thresholds.
RgbImage imageFromRows(const MapRows& rows);
GridPtr gridFromRows(const MapRows& rows);

// A fresh directory under the system's temporary directory, removed with all
// its content when the object goes.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return dir; }
    std::string file(const std::string& name) const { return dir + "/" + name; }

  private:
    std::string dir;
};

std::string readFile(const std::string& path);
