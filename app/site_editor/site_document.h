// The site a window edits: the stacks, the named points, the met file, the receptors and the
// options of a site file, held as the texts of the editor's cells and fields, with its file,
// whether it holds unsaved edits, the checks before it is saved or run (each problem in
// Japanese with the cell to select) and tab-separated paste from a spreadsheet. Plain C++: no
// Qt. Texts UTF-8.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "met/met_stats.h"
#include "plot/site_map.h"
#include "site/site_file.h"

namespace vmk {

// What a column of the editor's tables holds.
enum class SiteCellKind {
  Name,     // the stack's or point's name
  Number,   // x, y or z (m): a number
  Control,  // an edit field of the window: its text, empty for the common (or start-up) value
  Check,    // a check box of the window: "1" on, "0" off, empty for the common value
};

struct SiteColumn {
  std::string Control;  // the window's control; empty for the name and the coordinates
  std::string Label;    // the header: the window's label with its unit
  SiteCellKind Kind = SiteCellKind::Control;
};

// The stacks' table: 名前, x (m), y (m), then every control a stack may set, in the window's
// order. The common row: the same controls and the receptor height HrpEdit. The points: 名前,
// x (m), y (m), z (m) (empty z: the common receptor height).
const std::vector<SiteColumn>& StackColumns();
const std::vector<SiteColumn>& CommonColumns();
const std::vector<SiteColumn>& PointColumns();
// Where a column lies in a table: the first columns of the stacks and points.
inline constexpr int kSiteNameColumn = 0;
inline constexpr int kSiteXColumn = 1;
inline constexpr int kSiteYColumn = 2;
inline constexpr int kSiteZColumn = 3;
// The column of a control in a table of those columns, or -1.
int ColumnOfControl(const std::vector<SiteColumn>& columns, std::string_view control);

using SiteRow = std::vector<std::string>;  // one text per column

struct SiteDocument {
  std::string Path;       // absolute; empty before the first save of a new site
  bool Modified = false;  // unsaved edits since the last new, open or save

  std::string MetPath;          // absolute; empty when none is chosen or the met is in the file
  std::optional<MetStats> Met;  // the met file as read (or the one written in the site file)
  bool MetInFile = false;       // the site file holds the met statistics themselves

  SiteRow Common;               // CommonColumns()
  std::vector<SiteRow> Stacks;  // StackColumns()
  std::vector<SiteRow> Points;  // PointColumns()

  bool GridOn = true;
  std::string GridX = "-5000:5000:101";  // "FROM:TO:N" (m)
  std::string GridY = "-5000:5000:101";
  bool PolarOn = false;
  std::string PolarX = "0";  // the centre (m)
  std::string PolarY = "0";
  std::string PolarDistances = "100:20000:40";  // "FROM:TO:N" (m)
  bool PolarLog = true;
  SectorMode Sectors = SectorMode::Sector;
  std::string Levels;  // the isopleth levels, separated by blanks or commas; empty: chosen
  std::string Crs;     // "EPSG:6677"; empty: none

  // The blocks the editor keeps as JSON text: "basemap" and "pollutants" (empty: none). Their
  // file paths are relative to `BaseDir`, the folder of the site file they were read from.
  std::string Basemap;
  std::string Pollutants;
  std::string BaseDir;
};

// Every field the same (the met statistics compared as their file's text).
bool operator==(const SiteDocument& a, const SiteDocument& b);

// A new site: no file, one empty common row, no stack, no point, the grid of the example.
SiteDocument NewSiteDocument();

// Opens the site file at `path` through the site file's reader. Raises SiteError (the reader's
// line) when it cannot be read or used.
SiteDocument OpenSiteDocument(const std::string& path);

// An edit: the document holds unsaved edits.
inline void NoteSiteEdit(SiteDocument& doc) { doc.Modified = true; }

// Reads the met statistics file at `path` into the document; the problem (Japanese) when it
// cannot be read, and then the document is as it was.
std::optional<std::string> SetMetFile(SiteDocument& doc, const std::string& path);
// The met file as the editor shows it: its name, station, period and valid hours.
std::string MetFileText(const SiteDocument& doc);

// Where a problem lies, for the editor to select it.
enum class SitePlace {
  None,
  Common,  // the common row: Col
  Stacks,  // a stack: Row, Col
  Points,  // a point: Row, Col
  Met, GridX, GridY, PolarX, PolarY, PolarDistances, Levels, Crs, Basemap,
  Pollutants,  // the pollutants: Row (the pollutant's row of its table, or -1: the block), Col
  Emissions,   // a stack's emission of a pollutant: Row (the stack), Col (of the emission table)
};

struct EditorProblem {
  std::string Text;  // Japanese, one or two lines
  SitePlace Place = SitePlace::None;
  int Row = -1;
  int Col = -1;
};

// Checks everything a run needs, in the order of the editor (the met file, the common row,
// each stack, each point, the receptors, the options, the kept blocks), the controls against
// the window's own limits; then the file as the site file's reader and the plan read it.
// The first problem, or nothing.
std::optional<EditorProblem> CheckSiteDocument(const SiteDocument& doc);

// The site file's text (UTF-8 JSON) as it is saved at `path`: the met file's and the kept
// blocks' paths relative to that file's folder.
std::string SiteDocumentText(const SiteDocument& doc, const std::string& path);

// Checks the document and saves it at `path` (whole or not at all: the old file stays as it
// was on a failure); the document's file is then `path`, with nothing unsaved. The problem
// (Japanese), or nothing.
std::optional<EditorProblem> SaveSiteDocument(SiteDocument& doc, const std::string& path);

// The title of the editor: "サイトの編集", then " - " and the file's name, then " *" while edited.
std::string SiteEditorTitle(const SiteDocument& doc);

// A paste of spreadsheet cells (tab-separated, lines ending in CR LF or LF) into a table with
// its top-left cell at (row, col): the rows it reaches are added when missing. Numbers may be
// typed in full-width digits; check boxes take 1/0, TRUE/FALSE, ON/OFF (any case). A block
// that leaves the columns or holds a cell that is not what its column takes changes nothing
// and says why (Japanese), with the cell.
struct SitePaste {
  std::optional<EditorProblem> Problem;
  int Rows = 0;  // the block's size, when pasted
  int Cols = 0;
};
SitePaste PasteIntoTable(std::vector<SiteRow>& rows, const std::vector<SiteColumn>& columns, SitePlace place,
                         std::string_view text, int row, int col);

// A name not yet used in the table ("煙突1", "煙突2", ...; "地点1", ...).
std::string UnusedName(const std::vector<SiteRow>& rows, std::string_view stem);

// The map of the editor: the stacks and points whose coordinates read as numbers, over the
// grid's extent (or theirs, with a margin, without a grid), no concentrations.
struct EditorMap {
  SiteMapInput Input;
  std::vector<int> StackRows;  // the row of each stack mark
  std::vector<int> PointRows;  // the row of each point mark
};
EditorMap EditorMapOf(const SiteDocument& doc);

// The basemap block as the editor's controls show it: the raster and the vector files, each
// with the coordinate system given in its entry (empty: the file's own). Paths as the block
// holds them: relative to the site file's folder (absolute for a site not yet saved).
struct BasemapFileChoice {
  std::string Path;
  std::string Crs;
};
struct BasemapChoice {
  std::optional<BasemapFileChoice> Raster;
  std::vector<BasemapFileChoice> Vectors;
};
// The block read as the controls show it (an empty block: no file); nothing when its text is
// not a basemap the controls can show, which only its JSON text then edits.
std::optional<BasemapChoice> BasemapChoiceOf(const SiteDocument& doc);
// Writes the choice into the basemap block (empty when it names no file): a file without a
// system as its path alone, one with a system as {"path", "crs"}.
void SetBasemapChoice(SiteDocument& doc, const BasemapChoice& choice);
// A file chosen in a dialog (absolute) as the site file's blocks name it (the basemap's layers,
// a pollutant's station-years): relative to the site file's folder, absolute for a site not yet
// saved.
std::string PathInSiteFile(const SiteDocument& doc, const std::string& absolute);
// The basemap the editor's map reads: the block's files joined to the site file's folder;
// nothing when the block is empty. Raises SiteError (the site file reader's line) when the
// block is not one the reader takes.
std::optional<BasemapDefinition> EditorBasemapOf(const SiteDocument& doc);

// The pollutants block as the editor's tables show it: one row per pollutant, and its emission
// from each stack. Texts as typed; numbers are checked when the rows are written.
struct PollutantEmission {
  std::string Qp;    // the stack's QpEdit for this pollutant ("0": it does not emit it)
  bool No2 = false;  // NOxTrnCheckBox for this pollutant
};
enum class PollutantConversion { None, Linear, Fit };
struct PollutantChoice {
  std::string Name;
  std::string Unit;            // the emission's unit: "m3N/s", "g/s", ...
  std::string Background;      // the annual mean background
  std::string BackgroundUnit;  // "ppm", "µg/m3", ...
  PollutantConversion Conversion = PollutantConversion::None;
  std::string A, B;            // y = a x + b
  std::string Fit;             // the station-year file, as the block names it
  std::string Standard;        // a name of the standards table
  std::vector<PollutantEmission> Stacks;  // one per stack of the document, in its order
};
// The words of the conversion column, in the order of PollutantConversion.
inline constexpr std::string_view kPollutantConversionNames[] = {"なし", "一次式 y = a x + b", "測定局の回帰"};
// The pollutant table's columns: name, unit, background, its unit, conversion, a, b, the
// station-year file, standard.
const std::vector<SiteColumn>& PollutantColumns();
inline constexpr int kPollutantConversionColumn = 4;
inline constexpr int kPollutantFitColumn = 7;
// The text of a pollutant row's cell in column `col` of that table; null for the conversion
// column (a choice, not a text) and for a column the table does not have.
std::string* PollutantCell(PollutantChoice& p, int col);
inline const std::string* PollutantCell(const PollutantChoice& p, int col) {
  return PollutantCell(const_cast<PollutantChoice&>(p), col);
}
// Spreadsheet cells pasted into the pollutant table at (row, col), as PasteIntoTable: the rows
// it reaches are added (emitting "0" from every one of `stacks` stacks); the conversion takes
// its word, its first word ("一次式") or "none", "linear", "fit"; a refused paste changes
// nothing.
SitePaste PastePollutants(std::vector<PollutantChoice>& rows, std::size_t stacks, std::string_view text, int row,
                          int col);
// Spreadsheet cells pasted into the emission table (a row per stack; per pollutant a Qp column
// and a NOx変換 column taking 1/0) at (row, col); it has as many rows as there are stacks.
SitePaste PasteEmissions(std::vector<PollutantChoice>& rows, std::size_t stacks, std::string_view text, int row,
                         int col);
// The block read as the tables show it (empty: none); nothing when it holds what they cannot
// show (a standard given in full, levels, a stack not in the document, ...), which only its
// JSON text then edits.
std::optional<std::vector<PollutantChoice>> PollutantChoicesOf(const SiteDocument& doc);
// Writes the rows into the pollutants block (empty when there are none). A row that cannot be
// written is refused in Japanese, naming the pollutant and the column, and the block is kept.
std::optional<EditorProblem> SetPollutantChoices(SiteDocument& doc, const std::vector<PollutantChoice>& rows);

// The number text of a coordinate placed on the map: metres rounded to whole centimetres.
std::string PlacedCoordinateText(double metres);

}  // namespace vmk
