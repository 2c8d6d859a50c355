#include "gui/widgets/FilterBar.h"

#include <cstdlib>

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

#include "core/filter/RowFilter.h"
#include "gui/model/ServerTableModel.h"
#include "gui/text/WindowLook.h"

namespace vantrix {

namespace {

// The keys that edit a field of the bar instead of running the menu command they carry
// elsewhere, as in the in-place address editor.
bool IsFieldEditingKey(const QKeyEvent& key) {
  const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
  switch (key.key()) {
    case Qt::Key_C:
    case Qt::Key_V:
      return modifiers == Qt::ControlModifier;
    case Qt::Key_Insert:
      return modifiers == Qt::ControlModifier || modifiers == Qt::ShiftModifier;
    case Qt::Key_Delete:
      return modifiers == Qt::NoModifier || modifiers == Qt::ShiftModifier;
    default:
      return false;
  }
}

QString ToQString(const std::string& utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

}  // namespace

FilterBar::FilterBar(ServerTableModel& model, QWidget* parent) : QToolBar(parent), m_model(model) {
  setObjectName(QStringLiteral("FilterBar1"));
  setWindowTitle(QStringLiteral("Filter bar"));
  setMovable(false);
  setFloatable(false);
  // The window's toolbar menu would offer to hide the bar behind the menu item's back.
  setContextMenuPolicy(Qt::PreventContextMenu);

  m_text = new QLineEdit(this);
  m_text->setObjectName(QStringLiteral("FilterEdit"));
  m_text->setAccessibleName(QStringLiteral("Filter"));
  m_text->setPlaceholderText(QStringLiteral("Filter"));
  m_text->setMaxLength(static_cast<int>(kMaxFilterTextBytes));
  m_text->installEventFilter(this);
  addWidget(m_text);

  const char* names[] = {"Answered", "Not empty", "Not full", "No password"};
  for (std::size_t i = 0; i < m_toggles.size(); ++i) {
    auto* box = new QCheckBox(QString::fromLatin1(names[i]), this);
    box->setObjectName(QString::fromLatin1(names[i]).remove(QLatin1Char(' ')));
    box->setAccessibleName(QString::fromLatin1(names[i]));
    connect(box, &QCheckBox::toggled, this, [this] { ReadControls(); });
    addWidget(box);
    m_toggles[i] = box;
  }
  auto* pingLabel = new QLabel(QStringLiteral("Max ping"), this);
  addWidget(pingLabel);
  m_maxPing = new QSpinBox(this);
  m_maxPing->setObjectName(QStringLiteral("MaxPing"));
  m_maxPing->setAccessibleName(QStringLiteral("Max ping"));
  m_maxPing->setRange(0, kMaxFilterPing);
  m_maxPing->installEventFilter(this);
  pingLabel->setBuddy(m_maxPing);
  addWidget(m_maxPing);

  auto* spacer = new QWidget(this);
  spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  addWidget(spacer);
  m_count = new QLabel(this);
  m_count->setObjectName(QStringLiteral("FilterCount"));
  addWidget(m_count);

  // The tool bar draws its labels in the style's own text colour, black on the black look.
  for (QLabel* label : {pingLabel, m_count})
    label->setStyleSheet(QStringLiteral("QLabel { color: %1; }").arg(kLime.name()));

  connect(m_text, &QLineEdit::textChanged, this, [this] { ReadControls(); });
  connect(m_maxPing, &QSpinBox::valueChanged, this, [this] { ReadControls(); });
  connect(&m_model, &ServerTableModel::CountsChanged, this, &FilterBar::UpdateCount);

  m_path = FilterBarSettingsPath(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
  setVisible(false);
  // The menu item is the one way to show or hide the bar; the tool bar's own action is not offered.
  toggleViewAction()->setVisible(false);
  UpdateCount();
}

void FilterBar::Load() {
  m_settings = LoadFilterBarSettings(m_path);
  ShowSettings();
  setVisible(m_settings.visible);
  Apply();
  emit ShownChanged(m_settings.visible);
}

void FilterBar::SetCountrySource(const FilterCountrySource* countries) {
  m_countries = countries;
  Apply();
}

void FilterBar::CountriesChanged() {
  if (m_countries != nullptr && m_settings.visible && m_settings.text.find("country:") != std::string::npos)
    Apply();
}

void FilterBar::SetShown(bool shown) {
  if (shown == m_settings.visible) return;
  m_settings.visible = shown;
  setVisible(shown);
  Apply();
  Save();
  emit ShownChanged(shown);
}

void FilterBar::FocusText() {
  SetShown(true);
  m_text->setFocus(Qt::ShortcutFocusReason);
  m_text->selectAll();
}

void FilterBar::ClearOrHide() {
  if (!m_text->text().isEmpty()) {
    m_text->clear();
  } else {
    SetShown(false);
  }
}

void FilterBar::ReadControls() {
  if (m_showing) return;
  const QByteArray text = m_text->text().toUtf8();
  m_settings.text.assign(text.constData(), static_cast<std::size_t>(text.size()));
  m_settings.toggles.answered = m_toggles[0]->isChecked();
  m_settings.toggles.notEmpty = m_toggles[1]->isChecked();
  m_settings.toggles.notFull = m_toggles[2]->isChecked();
  m_settings.toggles.noPassword = m_toggles[3]->isChecked();
  m_settings.toggles.maxPing = m_maxPing->value();
  Apply();
  Save();
}

void FilterBar::ShowSettings() {
  m_showing = true;
  m_text->setText(ToQString(m_settings.text));
  m_toggles[0]->setChecked(m_settings.toggles.answered);
  m_toggles[1]->setChecked(m_settings.toggles.notEmpty);
  m_toggles[2]->setChecked(m_settings.toggles.notFull);
  m_toggles[3]->setChecked(m_settings.toggles.noPassword);
  m_maxPing->setValue(m_settings.toggles.maxPing);
  m_showing = false;
}

void FilterBar::Apply() {
  if (!m_settings.visible) {
    m_model.SetFilter(RowFilter());
  } else {
    FilterQuery query{ParseFilterText(m_settings.text, m_countries != nullptr), m_settings.toggles};
    m_model.SetFilter(RowFilter(std::move(query), m_countries));
  }
  UpdateCount();
}

void FilterBar::Save() const {
  SaveFilterBarSettings(m_path, m_settings);  // a file that cannot be written costs nothing but itself
}

void FilterBar::UpdateCount() {
  m_count->setText(QStringLiteral("%1 of %2 servers").arg(m_model.rowCount()).arg(m_model.Table().Count()));
}

bool FilterBar::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride && IsFieldEditingKey(*static_cast<QKeyEvent*>(event))) {
    event->accept();
    return true;
  }
  if (watched == m_text && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
    emit EscapePressed();
    return true;
  }
  return QToolBar::eventFilter(watched, event);
}

}  // namespace vantrix
