#include "gui/Unit5.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>

#include "gui/Application.h"
#include "gui/Unit1.h"
#include "gui/platform/ErrorReporter.h"
#include "gui/text/WindowLook.h"
#include "gui/widgets/ColorBox.h"
#include "gui/widgets/SettingLineEdit.h"

namespace vantrix {

namespace {

constexpr int kClientWidth = 281;
constexpr int kClientHeight = 233;
constexpr int kBufferSizeLength = 5;
constexpr int kUdpDelayLength = 3;
constexpr int kDefaultPortLength = 5;
constexpr int kJoinCommandLength = 1024;
constexpr int kNumberFieldWidth = 64;
const QColor kTabColor{0x30, 0x30, 0x30};

QCheckBox* NewCheckBox(const char* name, const char* caption, QWidget* page) {
  auto* box = new QCheckBox(QString::fromLatin1(caption), page);
  box->setObjectName(QString::fromLatin1(name));
  return box;
}

SettingLineEdit* NewEdit(const char* name, int typedMaxLength, QWidget* page) {
  auto* edit = new SettingLineEdit(typedMaxLength, page);
  edit->setObjectName(QString::fromLatin1(name));
  edit->setFixedWidth(kNumberFieldWidth);
  return edit;
}

ColorBox* NewColorBox(const char* name, QWidget* page) {
  auto* box = new ColorBox(page);
  box->setObjectName(QString::fromLatin1(name));
  return box;
}

QPushButton* NewButton(const char* name, const char* caption, QWidget* parent) {
  auto* button = new QPushButton(QString::fromLatin1(caption), parent);
  button->setObjectName(QString::fromLatin1(name));
  // Enter in a field must not save by surprise.
  button->setAutoDefault(false);
  return button;
}

QLabel* CaptionFor(QWidget* control, const char* caption, QWidget* page) {
  auto* label = new QLabel(QString::fromLatin1(caption), page);
  label->setTextFormat(Qt::PlainText);
  // The caption names the control for assistive technology as well.
  label->setBuddy(control);
  return label;
}

}  // namespace

TForm5::TForm5(Application& app)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_app(app),
      m_pageControl1(new QTabWidget(this)) {
  setObjectName(QStringLiteral("Form5"));
  setWindowTitle(QStringLiteral("Configuration"));
  setModal(true);
  setFixedSize(kClientWidth, kClientHeight);
  ApplyBlackLook(*this);
  QFont bold = font();
  bold.setBold(true);
  setFont(bold);

  m_pageControl1->setObjectName(QStringLiteral("PageControl1"));
  m_pageControl1->addTab(CreateGeneralPage(), QStringLiteral("General"));
  m_pageControl1->addTab(CreateOtherPage(), QStringLiteral("Other"));
  m_pageControl1->setCurrentIndex(0);
  // The style paints tabs, their frame and the colour boxes in the button colour: dark, so
  // that the green captions stay readable.
  QPalette tabs = m_pageControl1->palette();
  tabs.setColor(QPalette::Button, kTabColor);
  tabs.setColor(QPalette::ButtonText, kLime);
  m_pageControl1->setPalette(tabs);

  m_button2 = NewButton("Button2", "Save", this);
  m_button5 = NewButton("Button5", "Cancel", this);
  connect(m_button2, &QPushButton::clicked, this, &TForm5::Button2Click);
  connect(m_button5, &QPushButton::clicked, this, &TForm5::Button5Click);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(m_button2);
  buttons->addWidget(m_button5);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->addWidget(m_pageControl1, 1);
  layout->addLayout(buttons);

  ShowSettings(Settings{});
  CentreOnScreen(*this);
}

QWidget* TForm5::CreateGeneralPage() {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("TabSheet1"));
  page->setAutoFillBackground(true);  // black, like the window
  m_edit1 = NewEdit("Edit1", kBufferSizeLength, page);
  m_checkBox1 = NewCheckBox("CheckBox1", "Broadcast enabled", page);
  m_edit2 = NewEdit("Edit2", kUdpDelayLength, page);
  m_checkBox2 = NewCheckBox("CheckBox2", "Packet log", page);
  m_checkBox4 = NewCheckBox("CheckBox4", "Check on double click", page);

  auto* grid = new QGridLayout(page);
  grid->addWidget(CaptionFor(m_edit1, "Buffer size", page), 0, 0);
  grid->addWidget(m_edit1, 0, 1);
  grid->addWidget(m_checkBox1, 1, 0, 1, 3);
  grid->addWidget(CaptionFor(m_edit2, "UDP Delay", page), 2, 0);
  grid->addWidget(m_edit2, 2, 1);
  auto* unit = new QLabel(QStringLiteral("ms"), page);
  unit->setObjectName(QStringLiteral("Label3"));
  grid->addWidget(unit, 2, 2);
  grid->addWidget(m_checkBox2, 3, 0, 1, 3);
  grid->addWidget(m_checkBox4, 4, 0, 1, 3);
  grid->setColumnStretch(2, 1);
  grid->setRowStretch(5, 1);
  return page;
}

QWidget* TForm5::CreateOtherPage() {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("TabSheet2"));
  page->setAutoFillBackground(true);  // black, like the window
  m_edit3 = NewEdit("Edit3", kDefaultPortLength, page);
  m_checkBox3 = NewCheckBox("CheckBox3", "Show progress", page);
  m_colorBox1 = NewColorBox("ColorBox1", page);
  m_colorBox2 = NewColorBox("ColorBox2", page);
  m_comboBox1 = new QComboBox(page);
  m_comboBox1->setObjectName(QStringLiteral("ComboBox1"));
  // In the order of the QueryProtocol values.
  m_comboBox1->addItem(QStringLiteral("Original"));
  m_comboBox1->addItem(QStringLiteral("Current"));
  m_edit4 = new SettingLineEdit(kJoinCommandLength, page);
  m_edit4->setObjectName(QStringLiteral("Edit4"));

  auto* grid = new QGridLayout(page);
  grid->addWidget(CaptionFor(m_edit3, "Default port", page), 0, 0);
  grid->addWidget(m_edit3, 0, 1, Qt::AlignLeft);
  grid->addWidget(m_checkBox3, 1, 0, 1, 2);
  grid->addWidget(CaptionFor(m_colorBox1, "List color", page), 2, 0);
  grid->addWidget(m_colorBox1, 2, 1);
  grid->addWidget(CaptionFor(m_colorBox2, "Text color", page), 3, 0);
  grid->addWidget(m_colorBox2, 3, 1);
  grid->addWidget(CaptionFor(m_comboBox1, "Query protocol", page), 4, 0);
  grid->addWidget(m_comboBox1, 4, 1);
  grid->addWidget(CaptionFor(m_edit4, "Join command", page), 5, 0);
  grid->addWidget(m_edit4, 5, 1);
  grid->setColumnStretch(1, 1);
  grid->setRowStretch(6, 1);
  return page;
}

// ---- The settings in the controls ----------------------------------------------------

Settings TForm5::Snapshot() const {
  Settings settings;
  settings.bufferSize = m_edit1->Bytes();
  settings.broadcast = m_checkBox1->isChecked();
  settings.udpDelay = m_edit2->Bytes();
  settings.packetLog = m_checkBox2->isChecked();
  settings.connect = m_checkBox4->isChecked();
  settings.defaultPort = m_edit3->Bytes();
  settings.progress = m_checkBox3->isChecked();
  settings.listColor = m_colorBox1->Color();
  settings.textColor = m_colorBox2->Color();
  settings.queryProtocol =
      m_comboBox1->currentIndex() == 1 ? QueryProtocol::kCurrent : QueryProtocol::kOriginal;
  settings.joinCommand = m_edit4->Bytes();
  return settings;
}

void TForm5::ShowSettings(const Settings& settings) {
  m_edit1->SetBytes(settings.bufferSize);
  m_checkBox1->setChecked(settings.broadcast);
  m_edit2->SetBytes(settings.udpDelay);
  m_checkBox2->setChecked(settings.packetLog);
  m_checkBox4->setChecked(settings.connect);
  m_edit3->SetBytes(settings.defaultPort);
  m_checkBox3->setChecked(settings.progress);
  m_colorBox1->SetColor(settings.listColor);
  m_colorBox2->SetColor(settings.textColor);
  m_comboBox1->setCurrentIndex(settings.queryProtocol == QueryProtocol::kCurrent ? 1 : 0);
  m_edit4->SetBytes(settings.joinCommand);
}

// ---- config.ini and the handlers -----------------------------------------------------

void TForm5::LoadSettings() {
  Settings settings = Snapshot();
  try {
    m_config.LoadSettings(settings);
  } catch (...) {
    // The lines before a bad one have taken effect.
    ShowSettings(settings);
    throw;
  }
  ShowSettings(settings);
}

void TForm5::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // A window the desktop merely shows again (after minimising) is not a new opening.
  if (!event->spontaneous()) FormShow();
}

void TForm5::FormShow() {
  // A failure is reported and the dialog still opens, showing what was read, so that the
  // user can mend the bad value.
  RunReported(m_app.Errors(), [this] { LoadSettings(); });
}

void TForm5::Button2Click() {
  RunReported(m_app.Errors(), [this] {
    if (!m_config.SaveSettings(Snapshot(), m_app.Form1().Status())) return;
    m_app.Form1().ApplySettings();
    accept();
  });
}

void TForm5::Button5Click() {
  reject();
}

}  // namespace vantrix
