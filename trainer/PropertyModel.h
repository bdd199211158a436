#pragma once

#include "common/mvc/CenterModel.h"

#include <QString>
#include <QVariant>

#include <map>

// The project properties shown in the property dialog, by key. Announces each
// real change; setting a value it already holds is silent. Owned by the
// project controller; GUI thread.
class CPropertyModel : public CModel
{
    Q_OBJECT
public:
    CPropertyModel() = default;

    // Invalid when the key is absent.
    QVariant GetProperty(const QString& strKey) const;
    void SetProperty(const QString& strKey, const QVariant& value);

signals:
    void signal_ChangeProperty(const QString& strKey);

private:
    std::map<QString, QVariant> m_mapProperties;
};
