#include "trainer/SelectClassNameDlg.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>

CSelectClassNameView::CSelectClassNameView(QWidget* pParent) : QDialog(pParent)
{
    setWindowTitle(QStringLiteral("Class Name"));
    auto* pLayout = new QVBoxLayout(this);
    m_pComboBox = new QComboBox(this);
    pLayout->addWidget(m_pComboBox);
    // The combo box has the keyboard; its own digit search must not win.
    m_pComboBox->installEventFilter(this);

    auto* pButtonRow = new QWidget(this);
    auto* pButtonLayout = new QHBoxLayout(pButtonRow);
    m_pOK = new QPushButton(QStringLiteral("OK"), pButtonRow);
    auto* pCancel = new QPushButton(QStringLiteral("Cancel"), pButtonRow);
    pButtonLayout->addWidget(m_pOK);
    pButtonLayout->addWidget(pCancel);
    pLayout->addWidget(pButtonRow);
    m_pOK->setDefault(true);

    connect(m_pOK, &QPushButton::pressed, this, &QDialog::accept);
    connect(pCancel, &QPushButton::pressed, this, &QDialog::reject);
    m_pOK->setEnabled(false);
}

void CSelectClassNameView::UpdateClassNames(const std::vector<QString>& vctNames)
{
    if (!m_pComboBox)
        return;
    m_pComboBox->clear();
    for (const QString& strName : vctNames)
        m_pComboBox->addItem(strName);
    // Without categories there is nothing to accept; an ROI must not get an empty class.
    m_pOK->setEnabled(m_pComboBox->count() > 0);
}

void CSelectClassNameView::SelectClassName(const QString& strName)
{
    const int nIndex = m_pComboBox ? m_pComboBox->findText(strName) : -1;
    if (nIndex >= 0)
        m_pComboBox->setCurrentIndex(nIndex);
}

QString CSelectClassNameView::GetClassName() const
{
    return m_pComboBox ? m_pComboBox->currentText() : QString();
}

bool CSelectClassNameView::ChooseByKey(const QKeyEvent& event)
{
    // Digits of the main row and the keypad alike; with Ctrl or Alt they
    // are someone else's keys.
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    const int nNumber = event.key() - Qt::Key_0;
    if (modifiers != Qt::NoModifier || nNumber < 1 || nNumber > 9)
        return false;
    // A digit beyond the classes chooses nothing, and is not typed either.
    if (nNumber <= m_pComboBox->count())
    {
        m_pComboBox->setCurrentIndex(nNumber - 1);
        accept();
    }
    return true;
}

void CSelectClassNameView::keyPressEvent(QKeyEvent* pEvent)
{
    if (!ChooseByKey(*pEvent))
        QDialog::keyPressEvent(pEvent);
}

bool CSelectClassNameView::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    if (pWatched == m_pComboBox && pEvent->type() == QEvent::KeyPress &&
        ChooseByKey(*static_cast<QKeyEvent*>(pEvent)))
        return true;
    return QDialog::eventFilter(pWatched, pEvent);
}
