// A zero CellGrid of its own for a test, without clearing 400 MB: fresh zero pages from the host.
#pragma once

#include <memory>

#include "area/CellGrid.h"

struct GridRelease {
  void operator()(CellGrid *Grid) const;
};
using FreshGrid = std::unique_ptr<CellGrid, GridRelease>;

FreshGrid MakeFreshGrid();

// Gives the pages of Grid back, so that it reads as zero again and costs no memory.
void DiscardGrid(CellGrid &Grid);
