#include "support/FreshGrid.h"

#include <cstdint>
#include <cstring>
#include <new>
#include <sys/mman.h>
#include <unistd.h>

void GridRelease::operator()(CellGrid *Grid) const { munmap(Grid, sizeof(CellGrid)); }

FreshGrid MakeFreshGrid() {
  void *Pages = mmap(nullptr, sizeof(CellGrid), PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (Pages == MAP_FAILED)
    throw std::bad_alloc();
  return FreshGrid(static_cast<CellGrid *>(Pages));
}

void DiscardGrid(CellGrid &Grid) {
  // Whole pages go back to the host and read as zero again; the ragged ends are cleared here.
  auto Start = reinterpret_cast<std::uintptr_t>(&Grid);
  auto End = Start + sizeof(CellGrid);
  auto Page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
  std::uintptr_t First = (Start + Page - 1) / Page * Page;
  std::uintptr_t Last = End / Page * Page;
  if (First >= Last) {
    std::memset(&Grid, 0, sizeof(CellGrid));
    return;
  }
  std::memset(&Grid, 0, First - Start);
  std::memset(reinterpret_cast<void *>(Last), 0, End - Last);
  madvise(reinterpret_cast<void *>(First), Last - First, MADV_DONTNEED);
}
