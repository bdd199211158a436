#pragma once

#include <QObject>
#include <QString>

#include <memory>

class CDatasetImage;

// One image of the open project: its database record (shared with whoever
// loaded it) and its validation flag, which the explorer shows as an icon.
// Created through std::make_shared; GUI thread.
class CProjectImage : public QObject
{
    Q_OBJECT
public:
    explicit CProjectImage(const std::shared_ptr<CDatasetImage>& pImage);

    // -1 / empty texts when the record is empty.
    int GetID() const;
    QString GetName() const;
    QString GetFullPath() const;
    std::shared_ptr<CDatasetImage> GetImage() const { return m_pImage; }

    bool GetValidate() const { return m_bValidate; }
    // The first call always emits, so an icon appears after the first validation.
    void SetValidate(bool bValidate);

signals:
    void signal_ChangeValidation();

private:
    std::shared_ptr<CDatasetImage> m_pImage;
    bool m_bValidate = false;
    bool m_bValidateSet = false;
};
