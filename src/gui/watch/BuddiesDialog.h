#pragma once

#include <string>
#include <vector>

#include <QDialog>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace vantrix {

// "Buddies...": the players' names to be told about, added one at a time and removed by
// selection; OK keeps the list, Cancel leaves it as it was.
class BuddiesDialog final : public QDialog {
  Q_OBJECT

 public:
  explicit BuddiesDialog(QWidget* parent = nullptr);

  void SetNames(const std::vector<std::string>& names);
  std::vector<std::string> Names() const;

  QListWidget* List() const { return m_list; }
  QLineEdit* NameEdit() const { return m_name; }
  QPushButton* AddButton() const { return m_add; }
  QPushButton* RemoveButton() const { return m_remove; }

 private:
  void Add();
  void Remove();

  QListWidget* m_list;
  QLineEdit* m_name;
  QPushButton* m_add;
  QPushButton* m_remove;
};

}  // namespace vantrix
