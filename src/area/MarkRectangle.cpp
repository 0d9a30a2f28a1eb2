// The fast marking. Testing every cell of every rectangle costs up to 4 * 10^12 tests for a
// full file; nearly all of them find cells already covered. Summaries kept beside the cells
// (a bit per 64-cell block of a row, and per band of 64 rows a bit per column) let the marking
// pass over covered regions a word at a time, and a run of new cells in a row adds its area in
// one step: the heights of the run telescope to DistinctY[end] - DistinctY[start]. What is left
// is the new cells themselves; in a tall, narrow range each lies in a row of its own, so the
// rows ahead are fetched early and only the cache line holding the range is read.
#include "area/CellGrid.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// The last row and column stand for no interval, so they are never marked; a block or band
// counts as full without them.
constexpr std::int32_t MarkableLines = MaxPoints - 1;

constexpr std::int32_t PrefetchRows = 32;
constexpr std::int32_t NarrowRange = 8;

std::uint64_t LowBits(std::int32_t Count) {
  return Count >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << Count) - 1;
}

std::int32_t Lowest(std::uint64_t Bits) { return __builtin_ctzll(Bits); }

// The columns of block Block that can be marked.
std::uint64_t MarkableInBlock(std::int32_t Block) {
  return LowBits(MarkableLines - Block * CellBlock);
}

// The rows of band Band that can be marked.
std::int32_t MarkableRowsInBand(std::int32_t Band) {
  return std::min(CellBlock, MarkableLines - Band * CellBlock);
}

// Bit k set where byte k of the block is 0; the grid's last block is only half as wide.
std::uint64_t ZeroCells(const std::uint8_t *Block, std::int32_t BlockIndex) {
  const std::int32_t Width = std::min(CellBlock, MaxPoints - BlockIndex * CellBlock);
  std::uint64_t Zeros = 0;
#if defined(__SSE2__)
  const __m128i Zero = _mm_setzero_si128();
  for (std::int32_t Offset = 0; Offset < Width; Offset += 16) {
    __m128i Bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(Block + Offset));
    auto Mask = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(Bytes, Zero)));
    Zeros |= std::uint64_t{Mask} << Offset;
  }
#else
  for (std::int32_t Offset = 0; Offset < Width; ++Offset)
    Zeros |= std::uint64_t{Block[Offset] == 0} << Offset;
#endif
  return Zeros;
}

// Columns First..End-1 (0-based), seen block by block.
struct ColumnRange {
  std::int32_t First, End;
  std::int32_t FirstBlock, LastBlock;

  ColumnRange(std::int32_t First, std::int32_t End)
      : First(First), End(End), FirstBlock(First / CellBlock), LastBlock((End - 1) / CellBlock) {}

  // The columns of the range inside Block, as bits of the block.
  std::uint64_t InBlock(std::int32_t Block) const {
    std::int32_t Start = std::max(First, Block * CellBlock) - Block * CellBlock;
    std::int32_t Stop = std::min(End, Block * CellBlock + CellBlock) - Block * CellBlock;
    return LowBits(Stop) & ~LowBits(Start);
  }
  // The blocks of the range inside summary word Word, as bits of the word.
  std::uint64_t BlocksInWord(std::int32_t Word) const {
    std::int32_t Start = std::max(FirstBlock, Word * 64) - Word * 64;
    std::int32_t Stop = std::min(LastBlock + 1, Word * 64 + 64) - Word * 64;
    return Start >= Stop ? 0 : LowBits(Stop) & ~LowBits(Start);
  }
};

// Calls Visit(Block) for every block of the range whose bit in Summary is clear.
template <typename Visitor>
bool ForEachOpenBlock(const std::uint64_t *Summary, const ColumnRange &Range, Visitor Visit) {
  for (std::int32_t Word = Range.FirstBlock / 64; Word <= Range.LastBlock / 64; ++Word)
    for (std::uint64_t Open = ~Summary[Word] & Range.BlocksInWord(Word); Open != 0; Open &= Open - 1)
      if (!Visit(Word * 64 + Lowest(Open)))
        return false;
  return true;
}

class Marker {
public:
  Marker(CellGrid &Grid, const CoordTable &DistinctX, const CoordTable &DistinctY,
         const ColumnRange &Range)
      : Grid(Grid), DistinctX(DistinctX), DistinctY(DistinctY), Range(Range) {}

  // True when every column of the range is covered in every row of the band.
  bool BandIsCovered(std::int32_t Band) const {
    const std::uint64_t *Columns = Grid.BandColumnFull[Band];
    return ForEachOpenBlock(Grid.BandFull[Band], Range, [&](std::int32_t Block) {
      std::uint64_t Wanted = Range.InBlock(Block);
      return (Columns[Block] & Wanted) == Wanted;
    });
  }

  // Marks the range in one row (0-based) and gives the area it newly covers.
  std::uint32_t MarkRow(std::int32_t Row) {
    std::uint8_t *Cells = Grid.Cells + std::size_t(Row) * MaxPoints;
    std::uint32_t Heights = 0;
    if (Range.End - Range.First <= NarrowRange) {
      // A few cells: testing them one by one fetches only the cache line they lie in, where a
      // whole block may straddle two. Whether their block is now full is left for a wider
      // range to find out.
      for (std::int32_t Column = Range.First; Column < Range.End; ++Column)
        if (Cells[Column] == 0) {
          Cells[Column] = 1;
          Heights += IntervalLength(DistinctY, Column + 1);
        }
      return IntervalLength(DistinctX, Row + 1) * Heights;
    }
    ForEachOpenBlock(Grid.RowFull[Row], Range, [&](std::int32_t Block) {
      std::uint8_t *BlockCells = Cells + Block * CellBlock;
      std::uint64_t Zeros = ZeroCells(BlockCells, Block);
      std::uint64_t New = Zeros & Range.InBlock(Block);
      if (New == 0)
        return true;
      for (std::uint64_t Run = New; Run != 0;) {
        std::int32_t Start = Lowest(Run);
        std::uint64_t Above = ~(Run >> Start);
        std::int32_t Stop = Above == 0 ? 64 : Start + Lowest(Above);
        std::memset(BlockCells + Start, 1, static_cast<std::size_t>(Stop - Start));
        // Telescoped heights of columns Start..Stop-1; wraps modulo 2^32 like every area.
        std::int32_t Column = Block * CellBlock;
        Heights += static_cast<std::uint32_t>(DistinctY[Column + Stop + 1]) -
                   static_cast<std::uint32_t>(DistinctY[Column + Start + 1]);
        Run &= ~LowBits(Stop);
      }
      if ((Zeros & ~New & MarkableInBlock(Block)) == 0)
        NoteFullBlock(Row, Block);
      return true;
    });
    return IntervalLength(DistinctX, Row + 1) * Heights;
  }

  void Prefetch(std::int32_t Row) const {
    const std::uint8_t *Cells = Grid.Cells + std::size_t(Row) * MaxPoints;
    __builtin_prefetch(Cells + Range.First, 1);
    __builtin_prefetch(Cells + Range.End - 1, 1);
  }

  // Once the range has been marked in every row of the band, its columns are covered there:
  // noted without looking at a single cell. A band only partly crossed is left to the
  // block counts and to later rectangles.
  void NoteCoveredBand(std::int32_t Band) {
    for (std::int32_t Block = Range.FirstBlock; Block <= Range.LastBlock; ++Block) {
      std::uint64_t &Columns = Grid.BandColumnFull[Band][Block];
      Columns |= Range.InBlock(Block);
      if (Columns == MarkableInBlock(Block))
        Grid.BandFull[Band][Block / 64] |= std::uint64_t{1} << (Block % 64);
    }
  }

private:
  CellGrid &Grid;
  const CoordTable &DistinctX;
  const CoordTable &DistinctY;
  const ColumnRange &Range;

  void NoteFullBlock(std::int32_t Row, std::int32_t Block) {
    std::uint64_t Bit = std::uint64_t{1} << (Block % 64);
    Grid.RowFull[Row][Block / 64] |= Bit;
    std::int32_t Band = Row / CellBlock;
    if (++Grid.FullRowsInBand[Band][Block] == MarkableRowsInBand(Band)) {
      Grid.BandFull[Band][Block / 64] |= Bit;
      Grid.BandColumnFull[Band][Block] = MarkableInBlock(Block);
    }
  }
};

} // namespace

void MarkRectangle(CellGrid &Covered, const CoordTable &DistinctX, const CoordTable &DistinctY,
                   std::int32_t LowX, std::int32_t HighX, std::int32_t LowY, std::int32_t HighY,
                   std::uint32_t &TotalArea) {
  if (LowX >= HighX || LowY >= HighY)
    return;
  const std::int32_t FirstRow = LowX - 1, EndRow = HighX - 1;
  const ColumnRange Range(LowY - 1, HighY - 1);
  Marker Marking(Covered, DistinctX, DistinctY, Range);
  for (std::int32_t Band = FirstRow / CellBlock; Band <= (EndRow - 1) / CellBlock; ++Band) {
    if (Marking.BandIsCovered(Band))
      continue;
    std::int32_t From = std::max(FirstRow, Band * CellBlock);
    std::int32_t To = std::min(EndRow, Band * CellBlock + CellBlock);
    for (std::int32_t Row = From; Row < To; ++Row) {
      // Rows lie 20000 bytes apart, so a tall and narrow range misses the cache on every row;
      // asking for the rows ahead keeps several of those misses in flight at once.
      if (Row + PrefetchRows < EndRow)
        Marking.Prefetch(Row + PrefetchRows);
      TotalArea += Marking.MarkRow(Row);
    }
    if (From == Band * CellBlock && To - From == MarkableRowsInBand(Band))
      Marking.NoteCoveredBand(Band);
  }
}
