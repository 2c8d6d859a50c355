#include "gui/Unit8.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "gui/text/WindowLook.h"

namespace vantrix {

namespace {

QString FromBytes(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToBytes(const QString& text) {
  return text.toUtf8().toStdString();
}

}  // namespace

TForm8::TForm8(QWidget* parent)
    : QDialog(parent,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
  setObjectName(QStringLiteral("Form8"));
  setWindowTitle(QStringLiteral("Import from master server"));
  setModal(true);
  ApplyBlackLook(*this);

  m_edit1 = new QLineEdit(this);
  m_edit1->setObjectName(QStringLiteral("Edit1"));
  m_comboBox1 = new QComboBox(this);
  m_comboBox1->setObjectName(QStringLiteral("ComboBox1"));
  for (const MasterRegion& region : kMasterRegions)
    m_comboBox1->addItem(
        QString::fromLatin1(region.name) + QStringLiteral(" (0x") +
            QStringLiteral("%1").arg(static_cast<int>(region.code), 2, 16, QLatin1Char('0')).toUpper() +
            QStringLiteral(")"),
        region.code);
  m_edit2 = new QLineEdit(this);
  m_edit2->setObjectName(QStringLiteral("Edit2"));
  m_edit2->setPlaceholderText(QStringLiteral("\\appid\\10"));
  m_spinEdit1 = new QSpinBox(this);
  m_spinEdit1->setObjectName(QStringLiteral("SpinEdit1"));
  m_spinEdit1->setRange(1, MasterImportSettings::kMaxLimit);
  m_edit3 = new QLineEdit(this);
  m_edit3->setObjectName(QStringLiteral("Edit3"));
  m_edit3->setEchoMode(QLineEdit::Password);
  m_edit3->setPlaceholderText(QStringLiteral("empty: the master server over UDP"));
  for (QWidget* field : std::initializer_list<QWidget*>{m_edit1, m_comboBox1, m_edit2, m_spinEdit1, m_edit3})
    ApplyBlackField(*field);

  auto* form = new QFormLayout;
  auto addRow = [this, form](const char* caption, QWidget* field) {
    auto* label = new QLabel(QString::fromLatin1(caption), this);
    label->setBuddy(field);
    field->setAccessibleName(label->text().remove(QLatin1Char('&')).remove(QLatin1Char(':')));
    form->addRow(label, field);
  };
  addRow("&Master server:", m_edit1);
  addRow("&Region:", m_comboBox1);
  addRow("&Filter:", m_edit2);
  addRow("Most &servers:", m_spinEdit1);
  addRow("Web API &key:", m_edit3);

  m_button1 = new QPushButton(QStringLiteral("OK"), this);
  m_button1->setObjectName(QStringLiteral("Button1"));
  m_button1->setDefault(true);
  m_button2 = new QPushButton(QStringLiteral("Cancel"), this);
  m_button2->setObjectName(QStringLiteral("Button2"));
  connect(m_button1, &QPushButton::clicked, this, &QDialog::accept);
  connect(m_button2, &QPushButton::clicked, this, &QDialog::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(m_button1);
  buttons->addWidget(m_button2);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(buttons);
  m_edit1->setMinimumWidth(260);
  SetFields(MasterImportSettings{});
}

void TForm8::SetFields(const MasterImportSettings& settings) {
  m_edit1->setText(FromBytes(settings.address));
  const int index = m_comboBox1->findData(settings.region);
  m_otherRegion = settings.region;
  m_comboBox1->setCurrentIndex(index);
  m_edit2->setText(FromBytes(settings.filter));
  m_spinEdit1->setValue(settings.limit);
  m_edit3->setText(FromBytes(settings.apiKey));
}

MasterImportSettings TForm8::Fields() const {
  MasterImportSettings settings;
  settings.address = ToBytes(m_edit1->text().trimmed());
  settings.region = m_comboBox1->currentIndex() >= 0
                        ? static_cast<std::uint8_t>(m_comboBox1->currentData().toInt())
                        : m_otherRegion;
  settings.filter = ToBytes(m_edit2->text());
  settings.limit = m_spinEdit1->value();
  settings.apiKey = ToBytes(m_edit3->text().trimmed());
  return settings;
}

}  // namespace vantrix
