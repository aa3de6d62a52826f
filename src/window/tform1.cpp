#include "window/tform1.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QPrintDialog>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>

#include "chart/model/numberformat.h"
#include "platform/application/application.h"
#include "platform/printer/cupsprinter.h"
#include "print/printchartpage.h"
#include "startup/chartdefaults.h"
#include "startup/creationpass.h"
#include "startup/startupoutputs.h"
#include "window/chartmenu.h"
#include "window/refusals.h"
#include "window/tchart.h"
#include "window/windowcontrols.h"

std::unique_ptr<TForm1> Form1;

namespace {

// The window's design, in pixels at 96 dots per inch. The design's 640 x 480 is the outer
// size with a classic frame (4-pixel borders, 19-pixel caption); Qt sizes the inside.
constexpr QRect kWindowGeometry(248, 179, 632, 453);
constexpr QRect kChartGeometry(24, 8, 585, 401);
constexpr QRect kCheckBoxGeometry(471, 423, 49, 20);
constexpr QRect kButtonGeometry(367, 421, 89, 25);

QFont WindowFont() {
  QFont font("MS Sans Serif");
  font.setStyleHint(QFont::SansSerif);
  font.setPointSize(8);
  return font;
}

QFont BoldFont() {
  QFont font = WindowFont();
  font.setBold(true);
  return font;
}

}  // namespace

TForm1::TForm1(std::string propertyFileName, std::string dataFileName)
    : propertyFileName(std::move(propertyFileName)),
      dataFileName(std::move(dataFileName)),
      escapeKey_([this] { FormKeyUp(Qt::Key_Escape); }) {
  setWindowTitle("Chart");
  setFont(WindowFont());
  setGeometry(kWindowGeometry);

  Chart1 = new TChart(this);
  Chart1->setGeometry(kChartGeometry);
  ApplyChartDesign(Chart1->Document());
  Chart1->Document().SetNumberLocale(chart::SystemNumberLocale());

  CheckBox3D = new QCheckBox("3D", this);
  CheckBox3D->setGeometry(kCheckBoxGeometry);
  CheckBox3D->setFont(BoldFont());
  CheckBox3D->setChecked(true);

  PrintGraphBtn = new QPushButton("Print Graph", this);
  PrintGraphBtn->setGeometry(kButtonGeometry);
  PrintGraphBtn->setFont(BoldFont());

  setTabOrder(CheckBox3D, PrintGraphBtn);
  // Like a click, the box's state change also comes from the program (the "2D" keyword).
  connect(CheckBox3D, &QCheckBox::toggled, this, &TForm1::CheckBox3DClick);
  connect(PrintGraphBtn, &QPushButton::clicked, this, &TForm1::PrintGraphBtnClicked);

  // Key preview: the window sees every key release before the control with the focus.
  installEventFilter(this);
  for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);

  // The chart's value tips show whenever the pointer rests on it, also while another program's
  // window (the host's) has the focus.
  setAttribute(Qt::WA_AlwaysShowToolTips);

  // Made after the key preview: keys pressed in the open menu are the menu's own.
  ChartMenu1 = new ChartMenu(*Chart1, this);
  Chart1->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(Chart1, &QWidget::customContextMenuRequested, this, &TForm1::ShowChartMenu);
}

TForm1::~TForm1() = default;

void TForm1::CheckBox3DClick() { Chart1->Document().SetView3D(CheckBox3D->isChecked()); }

void TForm1::PrintGraphBtnClick() {
  if (printSettings.showPrintDialog && !ConfirmPrintDialog()) return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const auto resetCursor = qScopeGuard([] {
    while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
  });
  PrintChartPage(Printer, Chart1->Document(), printSettings);
}

// Without anyone to answer it (no display), the page goes where the dialog would send it when
// accepted as it opens: to the default destination. A page asked for is never dropped unseen.
bool TForm1::ConfirmPrintDialog() {
  if (!Application.CanAskUser()) return true;
  if (!PrintDialog1) {
    PrintDialog1 = new QPrintDialog(&Printer.Device(), this);
    // This routine prints to printers; saving the chart as a file is the bitmap output's job.
    PrintDialog1->setOptions(QAbstractPrintDialog::PrintCollateCopies |
                             QAbstractPrintDialog::PrintShowPageSize);
  }
  return Application.ExecuteDialog(*PrintDialog1);
}

void TForm1::PrintGraphBtnClicked() {
  try {
    PrintGraphBtnClick();
  } catch (const std::exception& error) {
    Application.ShowException(error);
  }
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
    escapeKey_.See(*static_cast<QKeyEvent*>(event));
  }
  // A window manager that frames the window moves its inside by the frame's edge.
  if (watched == this && event->type() == QEvent::Move) CentreOnceFramed();
  return QWidget::eventFilter(watched, event);
}

void TForm1::FormKeyUp(int key) {
  if (key == Qt::Key_Escape) close();
}

void TForm1::ShowChartMenu(const QPoint& at) { ChartMenu1->popup(Chart1->mapToGlobal(at)); }

// The window's outer size (with its frame) is what is centred, with the arrow cursor. Before the
// first show there is no frame yet: once a window manager has framed the window, it is centred
// again on its outer size.
void TForm1::PlaceOnScreen() {
  CentreOnScreen();
  centreOnceFramed_ = true;
  setCursor(Qt::ArrowCursor);
}

void TForm1::CentreOnScreen() {
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(CentredPosition(screen->size(), frameGeometry().size()));
  }
}

void TForm1::CentreOnceFramed() {
  if (!centreOnceFramed_ || frameGeometry().size() == size()) return;
  centreOnceFramed_ = false;
  CentreOnScreen();
}

void TForm1::FormCreate() {
  WindowControls window(*this);
  PassTargets pass{propertyFileName,   dataFileName,  window,
                   Chart1->Document(), printSettings, skipRun};
  pass.printChartPage = [this] { PrintGraphBtnClick(); };
  pass.placeWindow = [this] { PlaceOnScreen(); };
  if (const auto refusal = RunCreationPass(pass)) {
    ShowRefusal(*refusal);
    skipRun = true;
  }
}
