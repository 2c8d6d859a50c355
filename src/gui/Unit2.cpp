#include "gui/Unit2.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "gui/Application.h"
#include "gui/Unit1.h"
#include "gui/text/DisplayText.h"
#include "gui/text/WindowLook.h"
#include "gui/widgets/UpDown.h"

namespace vantrix {

namespace {

constexpr int kClientWidth = 265;
constexpr int kSeparatorY = 56;
constexpr int kFieldX = 100;
constexpr int kFieldWidth = kClientWidth - kFieldX - 8;
constexpr int kRowHeight = 21;
constexpr int kButtonWidth = 81;
constexpr int kButtonHeight = 23;
constexpr int kNumberWidth = 33;
constexpr int kArrowWidth = 16;

const QString kExpand = QStringLiteral("Settings >>");
const QString kCollapse = QStringLiteral("<< Settings");

QFont BoldFont(const QWidget& widget) {
  QFont font = widget.font();
  font.setBold(true);
  return font;
}

}  // namespace

QStringList TForm2::MapNames() {
  return {QStringLiteral("de_dust2"),   QStringLiteral("de_airstrip"), QStringLiteral("cs_havana"),
          QStringLiteral("de_chateau"), QStringLiteral("de_aztec"),    QStringLiteral("as_oilrig"),
          QStringLiteral("cs_siege"),   QStringLiteral("de_cbble"),    QStringLiteral("de_dust"),
          QStringLiteral("cs_747"),     QStringLiteral("de_prodigy"),  QStringLiteral("cs_assault"),
          QStringLiteral("cs_office"),  QStringLiteral("cs_italy"),    QStringLiteral("cs_backalley"),
          QStringLiteral("cs_militia"), QStringLiteral("de_train")};
}

TForm2::TForm2(Application& app)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_app(app) {
  setObjectName(QStringLiteral("Form2"));
  setWindowTitle(QStringLiteral("Add server"));
  setModal(true);
  setFixedSize(kClientWidth, kCreatedHeight);
  ApplyBlackLook(*this);

  // The top band: the address and the three buttons. Created in tab order.
  QLabel* addressLabel = AddLabel("Server IP:", 8, 10, kFieldX - 16);
  m_edit1 = new QLineEdit(this);
  m_edit1->setObjectName(QStringLiteral("Edit1"));
  m_edit1->setGeometry(kFieldX, 8, kFieldWidth, kRowHeight);
  m_edit1->installEventFilter(this);
  addressLabel->setBuddy(m_edit1);
  m_button1 = AddButton("Button1", "Add", 8);
  m_button3 = AddButton("Button3", "Cancel", 8 + (kButtonWidth + 3));
  m_button2 = AddButton("Button2", "<< Settings", 8 + 2 * (kButtonWidth + 3));
  connect(m_button1, &QPushButton::clicked, this, [this] { Run([this] { Button1Click(); }); });
  connect(m_button3, &QPushButton::clicked, this, [this] { Run([this] { Button3Click(); }); });
  connect(m_button2, &QPushButton::clicked, this, [this] { Run([this] { Button2Click(); }); });

  m_bevel1 = new QFrame(this);
  m_bevel1->setObjectName(QStringLiteral("Bevel1"));
  m_bevel1->setFrameShape(QFrame::HLine);
  m_bevel1->setFrameShadow(QFrame::Plain);
  m_bevel1->setLineWidth(1);
  m_bevel1->setGeometry(0, kSeparatorY, kClientWidth, 1);
  QPalette line = m_bevel1->palette();
  line.setColor(QPalette::WindowText, QColor(0x80, 0x80, 0x80));
  m_bevel1->setPalette(line);

  // The lower band.
  int y = 64;
  QLabel* nameLabel = AddLabel("Server name", 8, y + 2, kFieldX - 12);
  m_edit2 = new QLineEdit(this);
  m_edit2->setObjectName(QStringLiteral("Edit2"));
  m_edit2->setGeometry(kFieldX, y, kFieldWidth, kRowHeight);
  nameLabel->setBuddy(m_edit2);

  y += 26;
  QLabel* mapLabel = AddLabel("Map", 8, y + 2, kFieldX - 12);
  m_comboBox1 = new QComboBox(this);
  m_comboBox1->setObjectName(QStringLiteral("ComboBox1"));
  m_comboBox1->setEditable(true);
  // Any map may be typed: Enter adds nothing to the list and nothing is completed for the user.
  m_comboBox1->setInsertPolicy(QComboBox::NoInsert);
  m_comboBox1->setCompleter(nullptr);
  m_comboBox1->addItems(MapNames());
  m_comboBox1->setGeometry(kFieldX, y, kFieldWidth, kRowHeight + 1);
  mapLabel->setBuddy(m_comboBox1);

  y += 26;
  QLabel* playersLabel = AddLabel("Players", 8, y + 2, kFieldX - 12);
  int x = kFieldX;
  m_edit4 = new QLineEdit(QStringLiteral("0"), this);
  m_edit4->setObjectName(QStringLiteral("Edit4"));
  m_edit4->setGeometry(x, y, kNumberWidth, kRowHeight);
  playersLabel->setBuddy(m_edit4);
  x += kNumberWidth;
  m_upDown1 = new UpDown(this);
  m_upDown1->setObjectName(QStringLiteral("UpDown1"));
  m_upDown1->setAccessibleName(QStringLiteral("Players"));
  m_upDown1->setGeometry(x, y, kArrowWidth, kRowHeight);
  m_upDown1->SetAssociate(m_edit4);
  x += kArrowWidth + 6;
  AddLabel("/", x, y + 2, 8);
  x += 12;
  m_edit3 = new QLineEdit(QStringLiteral("0"), this);
  m_edit3->setObjectName(QStringLiteral("Edit3"));
  m_edit3->setAccessibleName(QStringLiteral("Maximum players"));
  m_edit3->setGeometry(x, y, kNumberWidth, kRowHeight);
  x += kNumberWidth;
  m_upDown2 = new UpDown(this);
  m_upDown2->setObjectName(QStringLiteral("UpDown2"));
  m_upDown2->setAccessibleName(QStringLiteral("Maximum players"));
  m_upDown2->setGeometry(x, y, kArrowWidth, kRowHeight);
  m_upDown2->SetAssociate(m_edit3);
  connect(m_upDown1, &UpDown::Changing, this,
          [this](int direction) { Run([this, direction] { UpDown1ChangingEx(direction); }); });
  connect(m_upDown2, &UpDown::Changing, this,
          [this](int direction) { Run([this, direction] { UpDown2ChangingEx(direction); }); });

  y += 26;
  QLabel* commentLabel = AddLabel("Comment", 8, y + 2, kFieldX - 12);
  m_edit5 = new QLineEdit(this);
  m_edit5->setObjectName(QStringLiteral("Edit5"));
  m_edit5->setGeometry(kFieldX, y, kFieldWidth, kRowHeight);
  commentLabel->setBuddy(m_edit5);

  // The two ticks one above the other, both inside the created height.
  y += 27;
  m_checkBox1 = new QCheckBox(QStringLiteral("Working"), this);
  m_checkBox1->setObjectName(QStringLiteral("CheckBox1"));
  m_checkBox1->setFont(BoldFont(*m_checkBox1));
  m_checkBox1->setGeometry(8, y, kClientWidth - 16, 17);
  y += 20;
  m_checkBox2 = new QCheckBox(QStringLiteral("Password protected"), this);
  m_checkBox2->setObjectName(QStringLiteral("CheckBox2"));
  m_checkBox2->setFont(BoldFont(*m_checkBox2));
  m_checkBox2->setGeometry(8, y, kClientWidth - 16, 17);

  CentreOnScreen(*this);
}

QLabel* TForm2::AddLabel(const char* text, int x, int y, int width) {
  auto* label = new QLabel(QString::fromLatin1(text), this);
  label->setTextFormat(Qt::PlainText);
  label->setFont(BoldFont(*label));
  label->setGeometry(x, y, width, 17);
  return label;
}

QPushButton* TForm2::AddButton(const char* name, const char* caption, int x) {
  auto* button = new QPushButton(QString::fromLatin1(caption), this);
  button->setObjectName(QString::fromLatin1(name));
  // No button answers Enter: only the address field does.
  button->setAutoDefault(false);
  button->setDefault(false);
  button->setGeometry(x, 30, kButtonWidth, kButtonHeight);
  return button;
}

void TForm2::Run(const std::function<void()>& handler) {
  // The dialog's handlers run in its own modal loop, outside the main window's commands.
  RunReported(m_app.Errors(), handler);
}

ServerEditor TForm2::Editor() const {
  return ServerEditor(m_app.Form1().Table());
}

ServerEditor::Fields TForm2::ReadFields() const {
  ServerEditor::Fields fields;
  fields.address = EditedBytes(m_edit1->text(), m_shown.address);
  fields.name = EditedBytes(m_edit2->text(), m_shown.name);
  fields.map = EditedBytes(m_comboBox1->currentText(), m_shown.map);
  fields.players = EditedBytes(m_edit4->text(), m_shown.players);
  fields.maxPlayers = EditedBytes(m_edit3->text(), m_shown.maxPlayers);
  fields.comment = EditedBytes(m_edit5->text(), m_shown.comment);
  fields.working = m_checkBox1->isChecked();
  fields.password = m_checkBox2->isChecked();
  return fields;
}

void TForm2::WriteFields(const ServerEditor::Fields& fields) {
  m_shown = fields;
  m_edit1->setText(ToDisplay(fields.address));
  m_edit2->setText(ToDisplay(fields.name));
  m_comboBox1->setEditText(ToDisplay(fields.map));
  m_edit4->setText(ToDisplay(fields.players));
  m_edit3->setText(ToDisplay(fields.maxPlayers));
  m_edit5->setText(ToDisplay(fields.comment));
  m_checkBox1->setChecked(fields.working);
  m_checkBox2->setChecked(fields.password);
}

void TForm2::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) Run([this] { FormShow(); });
}

bool TForm2::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_edit1 && event->type() == QEvent::KeyPress) {
    bool taken = false;
    Run([&] { taken = Edit1KeyPress(static_cast<const QKeyEvent&>(*event)); });
    if (taken) return true;
  }
  return QDialog::eventFilter(watched, event);
}

void TForm2::FormShow() {
  const ServerEditor::Shown shown = Editor().FormShow(m_app.Form1().EditMode());
  WriteFields(shown.fields);
  if (shown.focusAddress) m_edit1->setFocus(Qt::OtherFocusReason);
}

void TForm2::Button1Click() {
  ServerEditor::Fields fields = ReadFields();
  const ServerEditor::Outcome outcome = Editor().Button1Click(fields, m_app.Form1().EditMode());
  if (outcome == ServerEditor::Outcome::kStayOpen) return;
  // The normalised address goes back into the field, as the row got it.
  m_shown.address = fields.address;
  m_edit1->setText(ToDisplay(fields.address));
  accept();
}

void TForm2::Button3Click() {
  reject();
}

void TForm2::Button2Click() {
  if (m_button2->text() == kExpand) {
    setFixedHeight(kExpandedHeight);
    m_button2->setText(kCollapse);
  } else {
    setFixedHeight(kCollapsedHeight);
    m_button2->setText(kExpand);
  }
}

bool TForm2::Edit1KeyPress(const QKeyEvent& event) {
  if (event.key() != Qt::Key_Return && event.key() != Qt::Key_Enter) return false;
  Button1Click();
  return true;
}

void TForm2::UpDown1ChangingEx(int direction) {
  Arrow(true, direction);
}

void TForm2::UpDown2ChangingEx(int direction) {
  Arrow(false, direction);
}

void TForm2::Arrow(bool upDown1, int direction) {
  ServerEditor::Fields fields = ReadFields();
  const auto arrow = direction > 0 ? ServerEditor::Arrow::kUp : ServerEditor::Arrow::kDown;
  // A field that is not a whole number throws here, before anything is written.
  const bool stepped =
      upDown1 ? ServerEditor::UpDown1Arrow(fields, arrow) : ServerEditor::UpDown2Arrow(fields, arrow);
  if (!stepped) return;
  m_shown.players = fields.players;
  m_shown.maxPlayers = fields.maxPlayers;
  m_edit4->setText(ToDisplay(fields.players));
  m_edit3->setText(ToDisplay(fields.maxPlayers));
}

}  // namespace vantrix
