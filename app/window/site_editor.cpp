#include "app/window/site_editor.h"

#include <set>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/frontend/window_texts.h"
#include "app/window/qt_text.h"
#include "app/window/site_window.h"
#include "app/window/window_fonts.h"
#include "common/half_width.h"
#include "site/export/site_export.h"
#include "site/export/site_job.h"
#include "site/site_messages.h"

namespace vmk {
namespace {

std::string ToUtf8(const QString& text) { return text.toUtf8().toStdString(); }

QLineEdit* Field(QWidget* parent, const char* name, const QString& tip) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString::fromLatin1(name));
  edit->setToolTip(tip);
  return edit;
}

}  // namespace

SiteEditor::SiteEditor(QWidget* parent) : QWidget(parent, Qt::Window), doc_(NewSiteDocument()) {
  setObjectName(QStringLiteral("SiteEditor"));
  setFont(ControlFont());
  resize(1400, 860);

  const auto button = [this](const QString& text, const char* name, const QKeySequence& key = {}) {
    auto* b = new QPushButton(text, this);
    b->setObjectName(QString::fromLatin1(name));
    if (!key.isEmpty()) {
      b->setShortcut(key);
      b->setToolTip(key.toString(QKeySequence::NativeText));
    }
    return b;
  };
  QPushButton* newButton = button(QStringLiteral("新規"), "SiteNewButton", QKeySequence::New);
  QPushButton* open = button(QStringLiteral("開く..."), "SiteOpenButton", QKeySequence::Open);
  QPushButton* save = button(QStringLiteral("保存"), "SiteSaveFileButton", QKeySequence::Save);
  QPushButton* saveAs = button(QStringLiteral("名前を付けて保存..."), "SiteSaveAsButton", QKeySequence::SaveAs);
  compute_ = button(QStringLiteral("計算"), "SiteComputeButton", QKeySequence(Qt::Key_F5));
  place_ = new QComboBox(this);
  place_->setObjectName(QStringLiteral("SitePlaceChoice"));
  place_->addItems({QStringLiteral("地図: 移動と表示"), QStringLiteral("地図: クリックで煙突を置く"),
                    QStringLiteral("地図: クリックで地点を置く")});
  place_->setToolTip(QStringLiteral("煙突と地点の印はドラッグで動かせます"));

  pages_ = new QTabWidget(this);
  pages_->setObjectName(QStringLiteral("SiteEditorPages"));
  pages_->addTab(MakeStackPage(), QStringLiteral("煙突"));
  pages_->addTab(MakeReceptorPage(), QStringLiteral("受容点"));
  pages_->addTab(MakeMetPage(), QStringLiteral("気象・地図"));
  pages_->addTab(MakeBlockPage(), QStringLiteral("汚染物質・背景地図"));

  map_ = new SiteMapView(this);
  map_->SetEditable(true);
  map_->setMinimumSize(420, 400);

  auto* tools = new QHBoxLayout;
  for (QPushButton* b : {newButton, open, save, saveAs}) tools->addWidget(b);
  tools->addSpacing(16);
  tools->addWidget(compute_);
  tools->addStretch();
  tools->addWidget(place_);

  editing_ = new QWidget(this);
  auto* editingLayout = new QVBoxLayout(editing_);
  editingLayout->setContentsMargins(0, 0, 0, 0);
  editingLayout->addLayout(tools);
  auto* split = new QSplitter(Qt::Horizontal, editing_);
  split->addWidget(pages_);
  split->addWidget(map_);
  split->setStretchFactor(0, 3);
  split->setStretchFactor(1, 2);
  editingLayout->addWidget(split, 1);

  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("SiteEditorStatus"));
  status_->setWordWrap(true);
  status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  progress_ = new QProgressBar(this);
  progress_->setObjectName(QStringLiteral("SiteProgressBar"));
  progress_->setRange(0, 1000);
  progress_->setVisible(false);
  cancel_ = new QPushButton(QStringLiteral("中止"), this);
  cancel_->setObjectName(QStringLiteral("SiteCancelButton"));
  cancel_->setVisible(false);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(status_, 1);
  bottom->addWidget(progress_);
  bottom->addWidget(cancel_);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(editing_, 1);
  layout->addLayout(bottom);

  connect(newButton, &QPushButton::clicked, this, &SiteEditor::NewClicked);
  connect(open, &QPushButton::clicked, this, &SiteEditor::OpenClicked);
  connect(save, &QPushButton::clicked, this, &SiteEditor::SaveClicked);
  connect(saveAs, &QPushButton::clicked, this, &SiteEditor::SaveAsClicked);
  connect(compute_, &QPushButton::clicked, this, &SiteEditor::ComputeClicked);
  connect(cancel_, &QPushButton::clicked, this, [this] {
    cancelRun_ = true;
    status_->setText(QStringLiteral("中止しています..."));
  });
  connect(map_, &SiteMapView::GroundClicked, this, &SiteEditor::PlaceAt);
  connect(map_, &SiteMapView::MarkMoved, this, &SiteEditor::MarkMoved);
  connect(map_, &SiteMapView::GroundUnderMouse, this, [this](double x, double y, bool inside) {
    if (inside && !Running()) {
      status_->setText(QStringLiteral("x = ") + Utf8ToQString(PlacedCoordinateText(x)) + QStringLiteral(" m, y = ") +
                       Utf8ToQString(PlacedCoordinateText(y)) + QStringLiteral(" m"));
    }
  });
  ShowDocument();
}

SiteEditor::~SiteEditor() {
  cancelRun_ = true;
  if (worker_.joinable()) worker_.join();
}

// ---- the pages -----------------------------------------------------------------------------

QWidget* SiteEditor::MakeStackPage() {
  auto* page = new QWidget(this);
  auto* layout = new QVBoxLayout(page);
  common_ = new QTableWidget(1, static_cast<int>(CommonColumns().size()), page);
  common_->setObjectName(QStringLiteral("SiteCommonTable"));
  common_->setVerticalHeaderLabels({QStringLiteral("共通")});
  common_->setMaximumHeight(76);
  stacks_ = new QTableWidget(0, static_cast<int>(StackColumns().size()), page);
  stacks_->setObjectName(QStringLiteral("SiteStackTable"));
  auto* note = new QLabel(QStringLiteral("空欄は共通の値 (共通も空欄なら計算画面の初期値)。チェック欄は 1 (する) か 0 (しない)。"
                                         "表計算ソフトからコピーした範囲を Ctrl+V で貼り付けられます。"),
                          page);
  note->setWordWrap(true);
  auto* add = new QPushButton(QStringLiteral("煙突を追加"), page);
  add->setObjectName(QStringLiteral("SiteAddStackButton"));
  auto* remove = new QPushButton(QStringLiteral("選んだ煙突を削除"), page);
  remove->setObjectName(QStringLiteral("SiteDeleteStackButton"));
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(add);
  buttons->addWidget(remove);
  buttons->addStretch();
  layout->addWidget(new QLabel(QStringLiteral("各煙突に共通の値"), page));
  layout->addWidget(common_);
  layout->addWidget(new QLabel(QStringLiteral("煙突"), page));
  layout->addWidget(stacks_, 1);
  layout->addLayout(buttons);
  layout->addWidget(note);
  connect(add, &QPushButton::clicked, this, [this] { AddRow(stacks_); });
  connect(remove, &QPushButton::clicked, this, [this] { DeleteRows(stacks_); });
  for (QTableWidget* t : {common_, stacks_}) {
    t->installEventFilter(this);
    connect(t, &QTableWidget::cellChanged, this, [this, t](int r, int c) { CellEdited(t, r, c); });
  }
  return page;
}

QWidget* SiteEditor::MakeReceptorPage() {
  auto* page = new QWidget(this);
  auto* layout = new QVBoxLayout(page);
  auto* gridBox = new QGroupBox(QStringLiteral("計算格子"), page);
  auto* gridForm = new QFormLayout(gridBox);
  const QString axisTip = QStringLiteral("始め:終わり:個数 (m)、例 -5000:5000:101");
  gridOn_ = new QCheckBox(QStringLiteral("格子で計算する"), gridBox);
  gridOn_->setObjectName(QStringLiteral("SiteGridCheckBox"));
  gridX_ = Field(gridBox, "SiteGridXEdit", axisTip);
  gridY_ = Field(gridBox, "SiteGridYEdit", axisTip);
  gridForm->addRow(gridOn_);
  gridForm->addRow(QStringLiteral("x (東, m)"), gridX_);
  gridForm->addRow(QStringLiteral("y (北, m)"), gridY_);

  auto* polarBox = new QGroupBox(QStringLiteral("極座標の受容点 (16 方位)"), page);
  auto* polarForm = new QFormLayout(polarBox);
  polarOn_ = new QCheckBox(QStringLiteral("極座標で計算する"), polarBox);
  polarOn_->setObjectName(QStringLiteral("SitePolarOnCheckBox"));
  polarX_ = Field(polarBox, "SitePolarXEdit", QStringLiteral("中心の x (m)"));
  polarY_ = Field(polarBox, "SitePolarYEdit", QStringLiteral("中心の y (m)"));
  polarDistances_ = Field(polarBox, "SitePolarDistancesEdit", QStringLiteral("始め:終わり:個数 (m)、例 100:20000:40"));
  polarLog_ = new QCheckBox(QStringLiteral("距離を対数間隔にする"), polarBox);
  polarLog_->setObjectName(QStringLiteral("SitePolarLogCheckBox"));
  polarForm->addRow(polarOn_);
  polarForm->addRow(QStringLiteral("中心 x (m)"), polarX_);
  polarForm->addRow(QStringLiteral("中心 y (m)"), polarY_);
  polarForm->addRow(QStringLiteral("距離 (m)"), polarDistances_);
  polarForm->addRow(polarLog_);

  points_ = new QTableWidget(0, static_cast<int>(PointColumns().size()), page);
  points_->setObjectName(QStringLiteral("SitePointTable"));
  points_->installEventFilter(this);
  connect(points_, &QTableWidget::cellChanged, this, [this](int r, int c) { CellEdited(points_, r, c); });
  auto* add = new QPushButton(QStringLiteral("地点を追加"), page);
  add->setObjectName(QStringLiteral("SiteAddPointButton"));
  auto* remove = new QPushButton(QStringLiteral("選んだ地点を削除"), page);
  remove->setObjectName(QStringLiteral("SiteDeletePointButton"));
  connect(add, &QPushButton::clicked, this, [this] { AddRow(points_); });
  connect(remove, &QPushButton::clicked, this, [this] { DeleteRows(points_); });
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(add);
  buttons->addWidget(remove);
  buttons->addStretch();

  auto* top = new QHBoxLayout;
  top->addWidget(gridBox);
  top->addWidget(polarBox);
  layout->addLayout(top);
  layout->addWidget(new QLabel(QStringLiteral("予測地点 (z が空欄なら共通の予測点の高さ)"), page));
  layout->addWidget(points_, 1);
  layout->addLayout(buttons);

  for (QLineEdit* e : {gridX_, gridY_, polarX_, polarY_, polarDistances_}) {
    connect(e, &QLineEdit::textEdited, this, [this] {
      doc_.GridX = ToUtf8(gridX_->text());
      doc_.GridY = ToUtf8(gridY_->text());
      doc_.PolarX = ToUtf8(polarX_->text());
      doc_.PolarY = ToUtf8(polarY_->text());
      doc_.PolarDistances = ToUtf8(polarDistances_->text());
      Edited(true);
    });
  }
  for (QCheckBox* c : {gridOn_, polarOn_, polarLog_}) {
    connect(c, &QCheckBox::toggled, this, [this] {
      if (showing_) return;
      doc_.GridOn = gridOn_->isChecked();
      doc_.PolarOn = polarOn_->isChecked();
      doc_.PolarLog = polarLog_->isChecked();
      Edited(true);
    });
  }
  return page;
}

QWidget* SiteEditor::MakeMetPage() {
  auto* page = new QWidget(this);
  auto* layout = new QVBoxLayout(page);
  auto* metBox = new QGroupBox(QStringLiteral("気象ファイル (vmk-met の気象統計)"), page);
  auto* metLayout = new QHBoxLayout(metBox);
  met_ = new QLabel(metBox);
  met_->setObjectName(QStringLiteral("SiteMetLabel"));
  met_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  auto* choose = new QPushButton(QStringLiteral("選択..."), metBox);
  choose->setObjectName(QStringLiteral("SiteChooseMetButton"));
  metLayout->addWidget(met_, 1);
  metLayout->addWidget(choose, 0, Qt::AlignTop);
  connect(choose, &QPushButton::clicked, this, &SiteEditor::ChooseMetClicked);

  auto* optionBox = new QGroupBox(QStringLiteral("計算と地図"), page);
  auto* form = new QFormLayout(optionBox);
  sectors_ = new QComboBox(optionBox);
  sectors_->setObjectName(QStringLiteral("SiteSectorsChoice"));
  sectors_->addItems({QStringLiteral("16 方位の扇形 (sector)"), QStringLiteral("方位間を角度で補間 (smooth)")});
  levels_ = Field(optionBox, "SiteLevelsEdit", QStringLiteral("小さい順に空白で区切る、例 0.1 0.2 0.5 (空欄: 自動)"));
  crs_ = Field(optionBox, "SiteCrsEdit", QStringLiteral("例 EPSG:6677 (空欄: なし)"));
  form->addRow(QStringLiteral("方位の扱い"), sectors_);
  form->addRow(QStringLiteral("等濃度線の値"), levels_);
  form->addRow(QStringLiteral("座標系 (crs)"), crs_);
  layout->addWidget(metBox);
  layout->addWidget(optionBox);
  layout->addStretch();
  connect(sectors_, &QComboBox::currentIndexChanged, this, [this](int i) {
    if (showing_) return;
    doc_.Sectors = i == 1 ? SectorMode::Smooth : SectorMode::Sector;
    Edited();
  });
  connect(levels_, &QLineEdit::textEdited, this, [this](const QString& t) {
    doc_.Levels = ToUtf8(t);
    Edited();
  });
  connect(crs_, &QLineEdit::textEdited, this, [this](const QString& t) {
    doc_.Crs = ToUtf8(t);
    Edited(true);
  });
  return page;
}

QWidget* SiteEditor::MakeBlockPage() {
  auto* page = new QWidget(this);
  auto* layout = new QVBoxLayout(page);
  // The pollutants' tables: they write the block below when every cell is sound.
  auto* pbox = new QGroupBox(QStringLiteral("汚染物質"), page);
  pollutantControls_ = pbox;
  auto* pboxLayout = new QVBoxLayout(pbox);
  pollutantTable_ = new QTableWidget(0, static_cast<int>(PollutantColumns().size()), pbox);
  pollutantTable_->setObjectName(QStringLiteral("SitePollutantTable"));
  QStringList pollutantHeaders;
  for (const SiteColumn& c : PollutantColumns()) pollutantHeaders << Utf8ToQString(c.Label);
  pollutantTable_->setHorizontalHeaderLabels(pollutantHeaders);
  pollutantTable_->installEventFilter(this);
  pollutantTable_->setMinimumHeight(150);
  pboxLayout->addWidget(pollutantTable_, 1);
  auto* pollutantButtons = new QHBoxLayout;
  auto* addPollutant = new QPushButton(QStringLiteral("汚染物質を追加"), pbox);
  addPollutant->setObjectName(QStringLiteral("SitePollutantAddButton"));
  auto* removePollutants = new QPushButton(QStringLiteral("削除"), pbox);
  removePollutants->setObjectName(QStringLiteral("SitePollutantRemoveButton"));
  auto* chooseFit = new QPushButton(QStringLiteral("換算ファイルを選ぶ..."), pbox);
  chooseFit->setObjectName(QStringLiteral("SiteFitFileButton"));
  chooseFit->setToolTip(QStringLiteral("選んだ行の汚染物質に、測定局の年平均値と日平均値のファイルを選びます (換算: 測定局の回帰)"));
  pollutantButtons->addWidget(addPollutant);
  pollutantButtons->addWidget(removePollutants);
  pollutantButtons->addWidget(chooseFit);
  pollutantButtons->addStretch();
  pboxLayout->addLayout(pollutantButtons);
  pboxLayout->addWidget(new QLabel(QStringLiteral("煙突ごとの排出量 Qp と NOx変換"), pbox));
  emissionTable_ = new QTableWidget(0, 0, pbox);
  emissionTable_->setObjectName(QStringLiteral("SiteEmissionTable"));
  emissionTable_->installEventFilter(this);
  emissionTable_->setMinimumHeight(120);
  pboxLayout->addWidget(emissionTable_, 1);
  layout->addWidget(pbox, 3);
  connect(pollutantTable_, &QTableWidget::cellChanged, this, [this] { PollutantsEdited(); });
  connect(emissionTable_, &QTableWidget::cellChanged, this, [this] { PollutantsEdited(); });
  connect(addPollutant, &QPushButton::clicked, this, &SiteEditor::AddPollutantClicked);
  connect(removePollutants, &QPushButton::clicked, this, &SiteEditor::RemovePollutantsClicked);
  connect(chooseFit, &QPushButton::clicked, this, &SiteEditor::ChooseFitClicked);
  connect(pages_, &QTabWidget::currentChanged, this, [this](int page) {
    // The stacks may have changed: the emission table follows them when the block is sound.
    if (page == 3 && PollutantChoicesOf(doc_)) ShowPollutantChoices();
  });

  layout->addWidget(new QLabel(QStringLiteral("汚染物質 (\"pollutants\" の JSON、空欄: なし)"), page));
  pollutants_ = new QPlainTextEdit(page);
  pollutants_->setObjectName(QStringLiteral("SitePollutantsEdit"));
  // The JSON beside the tables is for what they cannot show: a few lines, the tables the room.
  pollutants_->setMaximumHeight(110);
  layout->addWidget(pollutants_, 1);

  // The basemap's files: the controls write the block below, and show it when it is one they
  // can show.
  auto* box = new QGroupBox(QStringLiteral("背景地図"), page);
  basemapControls_ = box;
  auto* boxLayout = new QVBoxLayout(box);
  auto* rasterRow = new QHBoxLayout;
  rasterRow->addWidget(new QLabel(QStringLiteral("画像"), box));
  rasterPath_ = Field(box, "SiteRasterPathEdit", QStringLiteral("GeoTIFF、またはワールドファイル付きの PNG・JPEG"));
  rasterPath_->setReadOnly(true);
  rasterRow->addWidget(rasterPath_, 1);
  auto* chooseRaster = new QPushButton(QStringLiteral("選ぶ..."), box);
  chooseRaster->setObjectName(QStringLiteral("SiteRasterChooseButton"));
  auto* clearRaster = new QPushButton(QStringLiteral("外す"), box);
  clearRaster->setObjectName(QStringLiteral("SiteRasterClearButton"));
  rasterRow->addWidget(chooseRaster);
  rasterRow->addWidget(clearRaster);
  rasterRow->addWidget(new QLabel(QStringLiteral("crs"), box));
  rasterCrs_ = Field(box, "SiteRasterCrsEdit", QStringLiteral("画像が座標系を持たないとき (\"EPSG:6677\" など)、空欄: 画像のもの"));
  rasterRow->addWidget(rasterCrs_);
  boxLayout->addLayout(rasterRow);
  vectors_ = new QTableWidget(0, 2, box);
  vectors_->setObjectName(QStringLiteral("SiteVectorTable"));
  vectors_->setHorizontalHeaderLabels({QStringLiteral("ベクタファイル (GeoPackage, shapefile, GeoJSON)"), QStringLiteral("crs")});
  vectors_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
  vectors_->horizontalHeaderItem(1)->setToolTip(QStringLiteral("ファイルが座標系を持たないとき、空欄: ファイルのもの"));
  boxLayout->addWidget(vectors_, 1);
  auto* vectorButtons = new QHBoxLayout;
  auto* addVectors = new QPushButton(QStringLiteral("追加..."), box);
  addVectors->setObjectName(QStringLiteral("SiteVectorAddButton"));
  auto* removeVectors = new QPushButton(QStringLiteral("削除"), box);
  removeVectors->setObjectName(QStringLiteral("SiteVectorRemoveButton"));
  vectorButtons->addWidget(addVectors);
  vectorButtons->addWidget(removeVectors);
  vectorButtons->addStretch();
  boxLayout->addLayout(vectorButtons);
  layout->addWidget(box, 1);

  layout->addWidget(new QLabel(QStringLiteral("背景地図 (\"basemap\" の JSON、空欄: なし)"), page));
  basemap_ = new QPlainTextEdit(page);
  basemap_->setObjectName(QStringLiteral("SiteBasemapEdit"));
  basemap_->setMaximumHeight(90);
  layout->addWidget(basemap_, 1);
  connect(pollutants_, &QPlainTextEdit::textChanged, this, [this] {
    if (showing_) return;
    doc_.Pollutants = ToUtf8(pollutants_->toPlainText());
    ShowPollutantChoices();
    Edited();
  });
  connect(basemap_, &QPlainTextEdit::textChanged, this, [this] {
    if (showing_) return;
    doc_.Basemap = ToUtf8(basemap_->toPlainText());
    ShowBasemapChoice();
    Edited(true);
  });
  connect(chooseRaster, &QPushButton::clicked, this, &SiteEditor::ChooseRasterClicked);
  connect(clearRaster, &QPushButton::clicked, this, [this] {
    std::optional<BasemapChoice> choice = BasemapChoiceOf(doc_);
    if (!choice || !choice->Raster) return;
    choice->Raster.reset();
    SetBasemap(*choice);
  });
  connect(rasterCrs_, &QLineEdit::textEdited, this, [this](const QString& t) {
    std::optional<BasemapChoice> choice = BasemapChoiceOf(doc_);
    if (!choice || !choice->Raster) return;
    choice->Raster->Crs = ToUtf8(t);
    SetBasemap(*choice);
  });
  connect(vectors_, &QTableWidget::cellChanged, this, [this](int r, int c) {
    if (showing_ || c != 1) return;
    std::optional<BasemapChoice> choice = BasemapChoiceOf(doc_);
    if (!choice || r < 0 || static_cast<std::size_t>(r) >= choice->Vectors.size()) return;
    choice->Vectors[static_cast<std::size_t>(r)].Crs = ToUtf8(vectors_->item(r, c)->text());
    SetBasemap(*choice);
  });
  connect(addVectors, &QPushButton::clicked, this, &SiteEditor::AddVectorsClicked);
  connect(removeVectors, &QPushButton::clicked, this, &SiteEditor::RemoveVectorsClicked);
  return page;
}

namespace {
const QStringList& ConversionNames() {
  static const QStringList names = [] {
    QStringList n;
    for (std::string_view name : kPollutantConversionNames) n << Utf8ToQString(std::string(name));
    return n;
  }();
  return names;
}
}  // namespace

void SiteEditor::ShowPollutantChoices() {
  const std::optional<std::vector<PollutantChoice>> rows = PollutantChoicesOf(doc_);
  pollutantControls_->setEnabled(rows.has_value());
  pollutantControls_->setToolTip(rows ? QString() : QStringLiteral("下の JSON が読めないか、ここで扱えない形です: JSON で編集してください"));
  FillPollutantTables(rows.value_or(std::vector<PollutantChoice>{}));
}

void SiteEditor::FillPollutantTables(const std::vector<PollutantChoice>& rows) {
  const bool was = std::exchange(showing_, true);
  pollutantTable_->setRowCount(static_cast<int>(rows.size()));
  for (std::size_t r = 0; r < rows.size(); ++r) {
    const PollutantChoice& p = rows[r];
    const int row = static_cast<int>(r);
    for (int c = 0; c < pollutantTable_->columnCount(); ++c) {
      if (const std::string* cell = PollutantCell(p, c)) pollutantTable_->setItem(row, c, new QTableWidgetItem(Utf8ToQString(*cell)));
    }
    auto* conversion = new QComboBox(pollutantTable_);
    conversion->addItems(ConversionNames());
    conversion->setCurrentIndex(static_cast<int>(p.Conversion));
    connect(conversion, &QComboBox::currentIndexChanged, this, [this] { PollutantsEdited(); });
    pollutantTable_->setCellWidget(row, kPollutantConversionColumn, conversion);
  }
  emissionTable_->setColumnCount(static_cast<int>(rows.size()) * 2);
  emissionTable_->setRowCount(static_cast<int>(doc_.Stacks.size()));
  QStringList headers;
  for (const PollutantChoice& p : rows) headers << Utf8ToQString(p.Name) + QStringLiteral(" Qp") << Utf8ToQString(p.Name) + QStringLiteral(" NOx変換");
  emissionTable_->setHorizontalHeaderLabels(headers);
  QStringList stacks;
  for (const SiteRow& s : doc_.Stacks) stacks << Utf8ToQString(s[kSiteNameColumn]);
  emissionTable_->setVerticalHeaderLabels(stacks);
  for (std::size_t r = 0; r < rows.size(); ++r) {
    for (std::size_t s = 0; s < doc_.Stacks.size(); ++s) {
      const PollutantEmission e = s < rows[r].Stacks.size() ? rows[r].Stacks[s] : PollutantEmission{};
      emissionTable_->setItem(static_cast<int>(s), static_cast<int>(2 * r), new QTableWidgetItem(Utf8ToQString(e.Qp)));
      auto* check = new QTableWidgetItem;
      check->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
      check->setCheckState(e.No2 ? Qt::Checked : Qt::Unchecked);
      emissionTable_->setItem(static_cast<int>(s), static_cast<int>(2 * r + 1), check);
    }
  }
  showing_ = was;
}

std::vector<PollutantChoice> SiteEditor::PollutantRows() const {
  const auto text = [](QTableWidget* t, int r, int c) {
    const QTableWidgetItem* item = t->item(r, c);
    return item != nullptr ? ToUtf8(item->text()) : std::string();
  };
  std::vector<PollutantChoice> rows;
  for (int r = 0; r < pollutantTable_->rowCount(); ++r) {
    PollutantChoice p;
    for (int c = 0; c < pollutantTable_->columnCount(); ++c) {
      if (std::string* cell = PollutantCell(p, c)) *cell = text(pollutantTable_, r, c);
    }
    if (const auto* c = qobject_cast<QComboBox*>(pollutantTable_->cellWidget(r, kPollutantConversionColumn))) {
      p.Conversion = static_cast<PollutantConversion>(std::max(0, c->currentIndex()));
    }
    for (int s = 0; s < emissionTable_->rowCount(); ++s) {
      const QTableWidgetItem* check = emissionTable_->item(s, 2 * r + 1);
      p.Stacks.push_back({text(emissionTable_, s, 2 * r), check != nullptr && check->checkState() == Qt::Checked});
    }
    rows.push_back(std::move(p));
  }
  return rows;
}

void SiteEditor::PollutantsEdited() {
  if (showing_) return;
  const std::vector<PollutantChoice> rows = PollutantRows();
  const bool was = std::exchange(showing_, true);
  QStringList headers;
  for (const PollutantChoice& p : rows) headers << Utf8ToQString(p.Name) + QStringLiteral(" Qp") << Utf8ToQString(p.Name) + QStringLiteral(" NOx変換");
  emissionTable_->setHorizontalHeaderLabels(headers);
  showing_ = was;
  // A row being typed is not yet sound: the block keeps its last sound rows until it is.
  if (const std::optional<EditorProblem> p = SetPollutantChoices(doc_, rows)) {
    status_->setText(Utf8ToQString(p->Text).replace(QLatin1Char('\n'), QLatin1Char(' ')));
    return;
  }
  status_->clear();
  showing_ = true;
  if (pollutants_->toPlainText() != Utf8ToQString(doc_.Pollutants)) pollutants_->setPlainText(Utf8ToQString(doc_.Pollutants));
  showing_ = was;
  Edited();
}

void SiteEditor::AddPollutantClicked() {
  std::vector<PollutantChoice> rows = PollutantRows();
  PollutantChoice p;
  p.Stacks.assign(doc_.Stacks.size(), PollutantEmission{"0", false});
  rows.push_back(std::move(p));
  FillPollutantTables(rows);
  pollutantTable_->setCurrentCell(static_cast<int>(rows.size()) - 1, 0);
  PollutantsEdited();
}

void SiteEditor::RemovePollutantsClicked() {
  std::vector<PollutantChoice> rows = PollutantRows();
  std::set<int> chosen;
  for (const QModelIndex& i : pollutantTable_->selectionModel()->selectedIndexes()) chosen.insert(i.row());
  if (chosen.empty() && pollutantTable_->currentRow() >= 0) chosen.insert(pollutantTable_->currentRow());
  for (auto r = chosen.rbegin(); r != chosen.rend(); ++r) {
    if (*r < static_cast<int>(rows.size())) rows.erase(rows.begin() + *r);
  }
  FillPollutantTables(rows);
  PollutantsEdited();
}

void SiteEditor::ChooseFitClicked() {
  const int row = pollutantTable_->currentRow();
  if (row < 0) {
    QMessageBox::information(this, Utf8ToQString(SiteEditorTitle(doc_)), QStringLiteral("換算ファイルを選ぶ汚染物質の行を選んでください"));
    return;
  }
  const QString folder = Utf8ToQString(doc_.BaseDir.empty() ? InCurrentFolder(".") : doc_.BaseDir);
  const QString path = fitChooser_ ? fitChooser_(folder)
                                   : QFileDialog::getOpenFileName(this, QStringLiteral("測定局の年平均値と日平均値のファイル"), folder,
                                                                  QStringLiteral("CSV (*.csv *.txt);;すべてのファイル (*)"));
  if (path.isEmpty()) return;
  std::vector<PollutantChoice> rows = PollutantRows();
  if (static_cast<std::size_t>(row) >= rows.size()) return;
  rows[static_cast<std::size_t>(row)].Fit = PathInSiteFile(doc_, ToUtf8(path));
  rows[static_cast<std::size_t>(row)].Conversion = PollutantConversion::Fit;
  FillPollutantTables(rows);
  PollutantsEdited();
  pollutantTable_->setCurrentCell(row, kPollutantFitColumn);
}

void SiteEditor::ShowBasemapChoice() {
  const bool was = std::exchange(showing_, true);
  const std::optional<BasemapChoice> choice = BasemapChoiceOf(doc_);
  basemapControls_->setEnabled(choice.has_value());
  basemapControls_->setToolTip(choice ? QString() : QStringLiteral("下の JSON が読めないか、ここで扱えない形です: JSON で編集してください"));
  const BasemapChoice shown = choice.value_or(BasemapChoice{});
  rasterPath_->setText(shown.Raster ? Utf8ToQString(shown.Raster->Path) : QString());
  rasterCrs_->setText(shown.Raster ? Utf8ToQString(shown.Raster->Crs) : QString());
  rasterCrs_->setEnabled(shown.Raster.has_value());
  vectors_->setRowCount(static_cast<int>(shown.Vectors.size()));
  for (std::size_t i = 0; i < shown.Vectors.size(); ++i) {
    auto* file = new QTableWidgetItem(Utf8ToQString(shown.Vectors[i].Path));
    file->setFlags(file->flags() & ~Qt::ItemIsEditable);
    vectors_->setItem(static_cast<int>(i), 0, file);
    vectors_->setItem(static_cast<int>(i), 1, new QTableWidgetItem(Utf8ToQString(shown.Vectors[i].Crs)));
  }
  showing_ = was;
}

void SiteEditor::SetBasemap(const BasemapChoice& choice) {
  if (showing_) return;
  SetBasemapChoice(doc_, choice);
  const bool was = std::exchange(showing_, true);
  if (basemap_->toPlainText() != Utf8ToQString(doc_.Basemap)) basemap_->setPlainText(Utf8ToQString(doc_.Basemap));
  showing_ = was;
  ShowBasemapChoice();
  Edited(true);
}

QStringList SiteEditor::ChooseGis(bool raster) {
  const QString folder = Utf8ToQString(doc_.BaseDir.empty() ? InCurrentFolder(".") : doc_.BaseDir);
  if (gisChooser_) return gisChooser_(raster, folder);
  if (raster) {
    const QString path = QFileDialog::getOpenFileName(
        this, QStringLiteral("背景地図の画像"), folder,
        QStringLiteral("画像 (*.tif *.tiff *.png *.jpg *.jpeg);;すべてのファイル (*)"));
    return path.isEmpty() ? QStringList() : QStringList{path};
  }
  return QFileDialog::getOpenFileNames(this, QStringLiteral("背景地図のベクタファイル"), folder,
                                       QStringLiteral("ベクタ (*.gpkg *.shp *.geojson *.json);;すべてのファイル (*)"));
}

void SiteEditor::ChooseRasterClicked() {
  std::optional<BasemapChoice> choice = BasemapChoiceOf(doc_);
  if (!choice) return;
  const QStringList paths = ChooseGis(true);
  if (paths.isEmpty()) return;
  const std::string crs = choice->Raster ? choice->Raster->Crs : std::string();
  choice->Raster = BasemapFileChoice{PathInSiteFile(doc_, ToUtf8(paths.front())), crs};
  SetBasemap(*choice);
}

void SiteEditor::AddVectorsClicked() {
  std::optional<BasemapChoice> choice = BasemapChoiceOf(doc_);
  if (!choice) return;
  const QStringList paths = ChooseGis(false);
  if (paths.isEmpty()) return;
  for (const QString& p : paths) choice->Vectors.push_back(BasemapFileChoice{PathInSiteFile(doc_, ToUtf8(p)), {}});
  SetBasemap(*choice);
}

void SiteEditor::RemoveVectorsClicked() {
  std::optional<BasemapChoice> choice = BasemapChoiceOf(doc_);
  if (!choice) return;
  std::set<int> rows;
  for (const QModelIndex& i : vectors_->selectionModel()->selectedIndexes()) rows.insert(i.row());
  if (rows.empty() && vectors_->currentRow() >= 0) rows.insert(vectors_->currentRow());
  for (auto r = rows.rbegin(); r != rows.rend(); ++r) {
    if (*r < static_cast<int>(choice->Vectors.size())) choice->Vectors.erase(choice->Vectors.begin() + *r);
  }
  SetBasemap(*choice);
}

// ---- the document on the widgets -------------------------------------------------------------

void SiteEditor::FillTable(QTableWidget* table, const std::vector<SiteColumn>& columns,
                           const std::vector<SiteRow>& rows) {
  const bool was = std::exchange(showing_, true);
  table->setColumnCount(static_cast<int>(columns.size()));
  QStringList headers;
  for (const SiteColumn& c : columns) headers << Utf8ToQString(c.Label);
  table->setHorizontalHeaderLabels(headers);
  for (int c = 0; c < static_cast<int>(columns.size()); ++c) {
    const SiteColumn& col = columns[static_cast<std::size_t>(c)];
    if (!col.Control.empty()) table->horizontalHeaderItem(c)->setToolTip(Utf8ToQString(col.Control));
  }
  table->setRowCount(static_cast<int>(rows.size()));
  for (std::size_t r = 0; r < rows.size(); ++r) {
    for (std::size_t c = 0; c < columns.size(); ++c) {
      table->setItem(static_cast<int>(r), static_cast<int>(c), new QTableWidgetItem(Utf8ToQString(rows[r][c])));
    }
  }
  table->resizeColumnsToContents();
  showing_ = was;
}

void SiteEditor::ShowDocument() {
  const bool was = std::exchange(showing_, true);
  FillTable(common_, CommonColumns(), {doc_.Common});
  common_->setVerticalHeaderLabels({QStringLiteral("共通")});
  FillTable(stacks_, StackColumns(), doc_.Stacks);
  FillTable(points_, PointColumns(), doc_.Points);
  met_->setText(Utf8ToQString(MetFileText(doc_)));
  gridOn_->setChecked(doc_.GridOn);
  gridX_->setText(Utf8ToQString(doc_.GridX));
  gridY_->setText(Utf8ToQString(doc_.GridY));
  polarOn_->setChecked(doc_.PolarOn);
  polarX_->setText(Utf8ToQString(doc_.PolarX));
  polarY_->setText(Utf8ToQString(doc_.PolarY));
  polarDistances_->setText(Utf8ToQString(doc_.PolarDistances));
  polarLog_->setChecked(doc_.PolarLog);
  sectors_->setCurrentIndex(doc_.Sectors == SectorMode::Smooth ? 1 : 0);
  levels_->setText(Utf8ToQString(doc_.Levels));
  crs_->setText(Utf8ToQString(doc_.Crs));
  pollutants_->setPlainText(Utf8ToQString(doc_.Pollutants));
  basemap_->setPlainText(Utf8ToQString(doc_.Basemap));
  ShowBasemapChoice();
  ShowPollutantChoices();
  showing_ = was;
  setWindowTitle(Utf8ToQString(SiteEditorTitle(doc_)));
  ShowMap(false);
}

void SiteEditor::ShowMap(bool keepView) {
  map_rows_ = EditorMapOf(doc_);
  // The basemap's files are read again only when the block, the site's system or the folder
  // they are relative to has changed.
  const std::string key = doc_.Basemap + '\n' + doc_.Crs + '\n' + doc_.BaseDir;
  if (key != basemapKey_) {
    basemapKey_ = key;
    basemapData_ = nullptr;
    try {
      SiteDefinition site;
      site.Crs = ToUtf8(QString::fromUtf8(doc_.Crs.c_str()).trimmed());
      site.Basemap = EditorBasemapOf(doc_);
      if (site.Basemap) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        basemapData_ = ReadSiteBasemap(site);
        QApplication::restoreOverrideCursor();
      }
    } catch (const std::exception& e) {
      if (QApplication::overrideCursor() != nullptr) QApplication::restoreOverrideCursor();
      status_->setText(QStringLiteral("背景地図を表示できません: ") + Utf8ToQString(SiteExceptionText(e)));
    }
  }
  map_rows_.Input.Basemap = basemapData_;
  map_->SetInput(map_rows_.Input, keepView);
}

void SiteEditor::Edited(bool map) {
  if (showing_) return;
  NoteSiteEdit(doc_);
  setWindowTitle(Utf8ToQString(SiteEditorTitle(doc_)));
  if (map) ShowMap(true);
}

void SiteEditor::CellEdited(QTableWidget* table, int row, int col) {
  if (showing_) return;
  QTableWidgetItem* item = table->item(row, col);
  std::string text = item != nullptr ? ToUtf8(item->text()) : std::string();
  // Numbers typed in full-width digits become half-width ones, as in the main window's fields.
  if (item != nullptr && !(table != common_ && col == kSiteNameColumn)) {
    const std::string half = HalfWidthNumberText(text);
    if (half != text) {
      text = half;
      const bool was = std::exchange(showing_, true);
      item->setText(Utf8ToQString(text));
      showing_ = was;
    }
  }
  if (table == common_) {
    doc_.Common[static_cast<std::size_t>(col)] = text;
    Edited();
    return;
  }
  std::vector<SiteRow>& rows = table == stacks_ ? doc_.Stacks : doc_.Points;
  if (row < 0 || static_cast<std::size_t>(row) >= rows.size()) return;
  rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)] = text;
  Edited(col <= kSiteYColumn);
}

void SiteEditor::AddRow(QTableWidget* table) {
  const bool stack = table == stacks_;
  std::vector<SiteRow>& rows = stack ? doc_.Stacks : doc_.Points;
  SiteRow row((stack ? StackColumns() : PointColumns()).size());
  row[kSiteNameColumn] = UnusedName(rows, stack ? "煙突" : "地点");
  row[kSiteXColumn] = "0";
  row[kSiteYColumn] = "0";
  rows.push_back(std::move(row));
  FillTable(table, stack ? StackColumns() : PointColumns(), rows);
  table->setCurrentCell(static_cast<int>(rows.size()) - 1, kSiteNameColumn);
  Edited(true);
}

void SiteEditor::DeleteRows(QTableWidget* table) {
  std::vector<SiteRow>& rows = table == stacks_ ? doc_.Stacks : doc_.Points;
  std::vector<bool> gone(rows.size(), false);
  bool any = false;
  for (const QTableWidgetSelectionRange& range : table->selectedRanges()) {
    for (int r = range.topRow(); r <= range.bottomRow(); ++r) {
      if (r >= 0 && static_cast<std::size_t>(r) < rows.size()) gone[static_cast<std::size_t>(r)] = any = true;
    }
  }
  if (!any && table->currentRow() >= 0 && static_cast<std::size_t>(table->currentRow()) < rows.size()) {
    gone[static_cast<std::size_t>(table->currentRow())] = any = true;
  }
  if (!any) return;
  std::vector<SiteRow> kept;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (!gone[i]) kept.push_back(std::move(rows[i]));
  }
  rows = std::move(kept);
  FillTable(table, table == stacks_ ? StackColumns() : PointColumns(), rows);
  Edited(true);
}

void SiteEditor::PasteInto(QTableWidget* table, const QString& text) {
  const int row = std::max(0, table->currentRow());
  const int col = std::max(0, table->currentColumn());
  if (table == pollutantTable_ || table == emissionTable_) {
    std::vector<PollutantChoice> rows = PollutantRows();
    const SitePaste p = table == pollutantTable_ ? PastePollutants(rows, doc_.Stacks.size(), ToUtf8(text), row, col)
                                                 : PasteEmissions(rows, doc_.Stacks.size(), ToUtf8(text), row, col);
    if (p.Problem) {
      ShowProblem(*p.Problem);
      return;
    }
    FillPollutantTables(rows);
    PollutantsEdited();
    table->clearSelection();
    table->setRangeSelected(QTableWidgetSelectionRange(row, col, row + p.Rows - 1, col + p.Cols - 1), true);
    return;
  }
  if (table == common_) {
    std::vector<SiteRow> rows = {doc_.Common};
    const SitePaste p = PasteIntoTable(rows, CommonColumns(), SitePlace::Common, ToUtf8(text), 0, col);
    if (p.Problem || rows.size() > 1) {
      ShowProblem(p.Problem ? *p.Problem
                            : EditorProblem{"共通の値は 1 行です: 貼り付ける値は 1 行にしてください", SitePlace::Common, 0, col});
      return;
    }
    doc_.Common = rows.front();
    FillTable(common_, CommonColumns(), {doc_.Common});
    common_->setVerticalHeaderLabels({QStringLiteral("共通")});
    Edited();
    return;
  }
  const bool stack = table == stacks_;
  std::vector<SiteRow>& rows = stack ? doc_.Stacks : doc_.Points;
  const std::vector<SiteColumn>& columns = stack ? StackColumns() : PointColumns();
  const SitePaste p =
      PasteIntoTable(rows, columns, stack ? SitePlace::Stacks : SitePlace::Points, ToUtf8(text), row, col);
  if (p.Problem) {
    ShowProblem(*p.Problem);
    return;
  }
  FillTable(table, columns, rows);
  table->clearSelection();
  table->setRangeSelected(QTableWidgetSelectionRange(row, col, row + p.Rows - 1, col + p.Cols - 1), true);
  Edited(true);
}

bool SiteEditor::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->matches(QKeySequence::Paste)) {
    if (auto* table = qobject_cast<QTableWidget*>(watched)) {
      PasteInto(table, QApplication::clipboard()->text());
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

// ---- the map -------------------------------------------------------------------------------

void SiteEditor::PlaceAt(double x, double y) {
  const int mode = place_->currentIndex();
  if (mode == 0 || Running()) return;
  const bool stack = mode == 1;
  std::vector<SiteRow>& rows = stack ? doc_.Stacks : doc_.Points;
  SiteRow row((stack ? StackColumns() : PointColumns()).size());
  row[kSiteNameColumn] = UnusedName(rows, stack ? "煙突" : "地点");
  row[kSiteXColumn] = PlacedCoordinateText(x);
  row[kSiteYColumn] = PlacedCoordinateText(y);
  rows.push_back(std::move(row));
  QTableWidget* table = stack ? stacks_ : points_;
  FillTable(table, stack ? StackColumns() : PointColumns(), rows);
  pages_->setCurrentIndex(stack ? 0 : 1);
  table->setCurrentCell(static_cast<int>(rows.size()) - 1, kSiteNameColumn);
  Edited(true);
}

void SiteEditor::MarkMoved(bool stack, int index, double x, double y) {
  const std::vector<int>& rowsOf = stack ? map_rows_.StackRows : map_rows_.PointRows;
  if (index < 0 || static_cast<std::size_t>(index) >= rowsOf.size() || Running()) return;
  const int r = rowsOf[static_cast<std::size_t>(index)];
  SiteRow& row = (stack ? doc_.Stacks : doc_.Points)[static_cast<std::size_t>(r)];
  row[kSiteXColumn] = PlacedCoordinateText(x);
  row[kSiteYColumn] = PlacedCoordinateText(y);
  QTableWidget* table = stack ? stacks_ : points_;
  FillTable(table, stack ? StackColumns() : PointColumns(), stack ? doc_.Stacks : doc_.Points);
  table->setCurrentCell(r, kSiteXColumn);
  Edited(true);
}

// ---- files ---------------------------------------------------------------------------------

QString SiteEditor::Choose(bool forSave, const QString& suggested) {
  if (chooser_) return chooser_(forSave, suggested);
  const QString filter = QStringLiteral("サイトファイル (*.json);;すべてのファイル (*)");
  if (forSave) {
    QString path = QFileDialog::getSaveFileName(this, QStringLiteral("サイトファイルの保存"), suggested, filter);
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".json");
    return path;
  }
  return QFileDialog::getOpenFileName(this, QStringLiteral("サイトファイルを開く"), suggested, filter);
}

bool SiteEditor::MayDiscard() {
  if (!doc_.Modified) return true;
  CaseDocument named;
  named.Path = doc_.Path;
  const SaveQuestion q = SaveQuestionFor(named);
  QMessageBox box(QMessageBox::Question, Utf8ToQString(q.Title), Utf8ToQString(q.Text), QMessageBox::NoButton, this);
  box.setObjectName(Utf8ToQString(q.Name));
  box.setInformativeText(Utf8ToQString(q.Informative));
  std::vector<std::pair<QAbstractButton*, SaveAnswer>> buttons;
  for (const auto& [answer, text] : q.Buttons) {
    const QMessageBox::ButtonRole role = answer == SaveAnswer::Save      ? QMessageBox::AcceptRole
                                         : answer == SaveAnswer::Discard ? QMessageBox::DestructiveRole
                                                                         : QMessageBox::RejectRole;
    QPushButton* b = box.addButton(Utf8ToQString(text), role);
    buttons.emplace_back(b, answer);
    if (answer == q.Default) box.setDefaultButton(b);
    if (answer == q.Escape) box.setEscapeButton(b);
  }
  box.exec();
  SaveAnswer answer = q.Escape;
  for (const auto& [b, a] : buttons) {
    if (box.clickedButton() == b) answer = a;
  }
  switch (answer) {
    case SaveAnswer::Save: return SaveClicked();
    case SaveAnswer::Discard: return true;
    case SaveAnswer::Cancel: return false;
  }
  return false;
}

void SiteEditor::NewClicked() {
  if (Running() || !MayDiscard()) return;
  doc_ = NewSiteDocument();
  ShowDocument();
}

void SiteEditor::OpenClicked() {
  if (Running() || !MayDiscard()) return;
  const QString path = Choose(false, Utf8ToQString(doc_.Path.empty() ? InCurrentFolder("site.json") : doc_.Path));
  if (!path.isEmpty()) OpenFile(path);
}

bool SiteEditor::OpenFile(const QString& path) {
  try {
    doc_ = OpenSiteDocument(ToUtf8(path));
  } catch (const SiteError& e) {
    ShowProblem(EditorProblem{CannotOpenText(ToUtf8(path), SiteProblemText(e)), SitePlace::None});
    return false;
  }
  ShowDocument();
  return true;
}

bool SiteEditor::SaveTo(const QString& path) {
  if (const std::optional<EditorProblem> p = SaveSiteDocument(doc_, ToUtf8(path))) {
    ShowProblem(*p);
    return false;
  }
  // The kept blocks' paths may have moved with the file.
  const bool was = std::exchange(showing_, true);
  if (pollutants_->toPlainText() != Utf8ToQString(doc_.Pollutants)) pollutants_->setPlainText(Utf8ToQString(doc_.Pollutants));
  if (basemap_->toPlainText() != Utf8ToQString(doc_.Basemap)) basemap_->setPlainText(Utf8ToQString(doc_.Basemap));
  ShowBasemapChoice();
  ShowPollutantChoices();
  basemapKey_ = doc_.Basemap + '\n' + doc_.Crs + '\n' + doc_.BaseDir;  // the same files
  met_->setText(Utf8ToQString(MetFileText(doc_)));
  showing_ = was;
  setWindowTitle(Utf8ToQString(SiteEditorTitle(doc_)));
  status_->setText(QStringLiteral("保存しました: ") + Utf8ToQString(NativePath(doc_.Path)));
  return true;
}

bool SiteEditor::SaveClicked() {
  if (doc_.Path.empty()) return SaveAsClicked();
  return SaveTo(Utf8ToQString(doc_.Path));
}

bool SiteEditor::SaveAsClicked() {
  const QString path = Choose(true, Utf8ToQString(doc_.Path.empty() ? InCurrentFolder("site.json") : doc_.Path));
  return !path.isEmpty() && SaveTo(path);
}

void SiteEditor::ChooseMetClicked() {
  const QString path = Choose(false, Utf8ToQString(doc_.MetPath.empty() ? InCurrentFolder("met.json") : doc_.MetPath));
  if (path.isEmpty()) return;
  if (const std::optional<std::string> problem = SetMetFile(doc_, ToUtf8(path))) {
    ShowProblem(EditorProblem{*problem, SitePlace::Met});
    return;
  }
  met_->setText(Utf8ToQString(MetFileText(doc_)));
  Edited();
}

// ---- problems ------------------------------------------------------------------------------

void SiteEditor::SelectProblem(const EditorProblem& p) {
  const auto cell = [&](QTableWidget* table, int page) {
    pages_->setCurrentIndex(page);
    if (p.Row >= 0 && p.Row < table->rowCount() && p.Col < table->columnCount()) {
      const int col = std::max(0, p.Col);  // a whole row: its first cell
      table->setCurrentCell(p.Row, col);
      table->scrollToItem(table->item(p.Row, col));
    }
    table->setFocus();
  };
  const auto field = [&](QWidget* w, int page) {
    pages_->setCurrentIndex(page);
    w->setFocus();
    if (auto* e = qobject_cast<QLineEdit*>(w)) e->selectAll();
  };
  switch (p.Place) {
    case SitePlace::None: break;
    case SitePlace::Common: cell(common_, 0); break;
    case SitePlace::Stacks: cell(stacks_, 0); break;
    case SitePlace::Points: cell(points_, 1); break;
    case SitePlace::Met: pages_->setCurrentIndex(2); break;
    case SitePlace::GridX: field(gridX_, 1); break;
    case SitePlace::GridY: field(gridY_, 1); break;
    case SitePlace::PolarX: field(polarX_, 1); break;
    case SitePlace::PolarY: field(polarY_, 1); break;
    case SitePlace::PolarDistances: field(polarDistances_, 1); break;
    case SitePlace::Levels: field(levels_, 2); break;
    case SitePlace::Crs: field(crs_, 2); break;
    case SitePlace::Basemap: field(basemap_, 3); break;
    case SitePlace::Pollutants:
      if (p.Row >= 0 && pollutantControls_->isEnabled()) {
        cell(pollutantTable_, 3);
      } else {
        field(pollutants_, 3);
      }
      break;
    case SitePlace::Emissions: cell(emissionTable_, 3); break;
  }
}

void SiteEditor::ShowProblem(const EditorProblem& p) {
  SelectProblem(p);
  QMessageBox box(QMessageBox::Warning, Utf8ToQString(SiteEditorTitle(doc_)), Utf8ToQString(p.Text), QMessageBox::Ok, this);
  box.setObjectName(QStringLiteral("SiteProblemBox"));
  box.exec();
  SelectProblem(p);  // the focus back on the cell after the box
}

// ---- the computation ---------------------------------------------------------------------------

void SiteEditor::SetRunning(bool running) {
  editing_->setEnabled(!running);
  progress_->setVisible(running);
  cancel_->setVisible(running);
  cancel_->setEnabled(running);
  if (running) progress_->setValue(0);
}

void SiteEditor::ComputeClicked() {
  if (Running()) return;
  // The saved file is what runs: a check and a save first.
  if (doc_.Modified || doc_.Path.empty()) {
    if (!SaveClicked()) return;
  } else if (const std::optional<EditorProblem> p = CheckSiteDocument(doc_)) {
    ShowProblem(*p);
    return;
  }
  const std::string path = doc_.Path;
  cancelRun_ = false;
  SetRunning(true);
  status_->setText(QStringLiteral("計算しています: ") + Utf8ToQString(FileNameOf(path)));
  worker_ = std::thread([this, path] {
    auto site = std::make_shared<ComputedSite>();
    QString problem;
    bool cancelled = false;
    try {
      SiteSteps steps;
      steps.Cancel = &cancelRun_;
      steps.Progress = [this](double share) {
        QMetaObject::invokeMethod(this, [this, share] { progress_->setValue(static_cast<int>(share * 1000)); },
                                  Qt::QueuedConnection);
      };
      *site = ComputeSiteFile(path, steps);
    } catch (const SiteCancelled&) {
      cancelled = true;
    } catch (const std::exception& e) {
      problem = Utf8ToQString(SiteExceptionText(e));
    }
    QMetaObject::invokeMethod(this, [this, site, problem, cancelled] { RunFinished(site, problem, cancelled); },
                              Qt::QueuedConnection);
  });
}

void SiteEditor::RunFinished(std::shared_ptr<ComputedSite> site, const QString& problem, bool cancelled) {
  if (worker_.joinable()) worker_.join();
  SetRunning(false);
  if (cancelled) {
    status_->setText(QStringLiteral("計算を中止しました"));
    return;
  }
  if (!problem.isEmpty()) {
    status_->setText(QString());
    ShowProblem(EditorProblem{"計算できませんでした:\n" + ToUtf8(problem), SitePlace::None});
    return;
  }
  progress_->setValue(1000);
  auto* window = new SiteWindow(std::move(*site), Utf8ToQString(doc_.Path), this);
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->show();
  result_ = window;
  status_->setText(QStringLiteral("計算しました: ") + Utf8ToQString(FileNameOf(doc_.Path)));
  emit Computed(window);
}

void SiteEditor::closeEvent(QCloseEvent* event) {
  if (Running()) {
    cancelRun_ = true;
    worker_.join();
    SetRunning(false);
  }
  if (!MayDiscard()) {
    event->ignore();
    return;
  }
  event->accept();
}

SiteEditor* OpenSiteEditor(QWidget* parent, const QString& path) {
  auto* editor = new SiteEditor(parent);
  editor->setAttribute(Qt::WA_DeleteOnClose);
  if (!path.isEmpty()) editor->OpenFile(path);
  editor->show();
  return editor;
}

}  // namespace vmk
