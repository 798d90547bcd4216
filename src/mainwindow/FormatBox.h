#pragma once

#include <QComboBox>

// The format box: the presets, one group after the other with a separator between groups that
// stands apart from the entries. A list with type-to-search; read-only while a conversion runs,
// when neither typing, the keys, the wheel nor the list change it.
class FormatBox : public QComboBox {
    Q_OBJECT
    Q_DISABLE_COPY(FormatBox)

public:
    explicit FormatBox(QWidget *parent = nullptr);

    // Whether the text is the name of a listed preset (a separator is none).
    bool isPreset(const QString &text) const;

    void setReadOnly(bool readOnly);
    bool isReadOnly() const { return m_readOnly; }

    void showPopup() override;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    bool m_readOnly = false;
};
