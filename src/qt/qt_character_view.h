#pragma once

#include "worlds/character_view.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace corvane {

// The character login dialog of the current world (Form5).
class QtCharacterView : public QDialog, public CharacterView {
    Q_OBJECT
public:
    explicit QtCharacterView(QWidget* parent);

    void setEvents(CharacterEvents* events) override { m_events = events; }
    void setTitle(const std::string& title) override;
    void setCharacterNames(const std::vector<std::string>& names) override;
    void selectCharacter(int index) override;
    void showNewNameBox(bool shown) override;
    std::string newName() const override;
    std::string password() const override;
    void setPassword(const std::string& password) override;
    void setListButtonsEnabled(bool enabled) override;
    void runModal() override;
    void hideDialog() override;
    void closeDialog() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

private:
    template <typename Handler> void notify(Handler handler);

    CharacterEvents* m_events = nullptr;
    QLabel* m_nameLabel = nullptr;
    QComboBox* m_characters = nullptr;
    QLineEdit* m_newName = nullptr;
    QLineEdit* m_password = nullptr;
    QPushButton* m_new = nullptr;
    QPushButton* m_delete = nullptr;
};

} // namespace corvane
