#pragma once

#include <QIcon>
#include <QObject>
#include <QStandardItem>

#include <memory>

class CProjectImage;

// One node of the project explorer's tree. Image nodes share ownership of the
// image they show with the project model's list and follow its validation
// flag; the two group nodes of images show how many of their images are
// valid; the other nodes only carry their node type. Owned by the
// explorer's item model, GUI thread.
class CProjectItem : public QObject, public QStandardItem
{
    Q_OBJECT
public:
    static constexpr int TYPE_PROJECT = 0;
    static constexpr int TYPE_TRAIN_IMAGES = 1;
    static constexpr int TYPE_TEST_IMAGES = 2;
    static constexpr int TYPE_TRAIN_IMAGE = 3;
    static constexpr int TYPE_TEST_IMAGE = 4;
    static constexpr int TYPE_CLASSES = 5;
    static constexpr int TYPE_PARAMETERS = 6;
    static constexpr int TYPE_CONFIGURATION = 7;
    static constexpr int TYPE_STATISTICS = 8;

    // A fixed node: project, group, classes, parameters, configuration or statistics.
    CProjectItem(int nType, const QIcon& icon, const QString& strText);
    // An image node. The two icons are the explorer's shared ones, so ten
    // thousand rows do not load ten thousand pixmaps.
    CProjectItem(int nType, const QIcon& iconValid, const QIcon& iconInvalid);

    int GetType() const { return m_nType; }
    std::shared_ptr<CProjectImage> GetImage() const { return m_pImage; }
    // Shows pImage as the entry at nPosition (0-based) of its list and follows
    // its validation. Nothing happens when the node already shows pImage.
    void SetImage(const std::shared_ptr<CProjectImage>& pImage, int nPosition);
    // A group node: its text becomes "<text> (valid / all)" for its image
    // rows, or just "<text>" while it has none. Now, or on the next turn of
    // the event loop, so a validation of every image counts once.
    void UpdateValidCount();
    void ScheduleValidCount();

public slots:
    void slot_ChangeValidation();

private:
    int m_nType;
    std::shared_ptr<CProjectImage> m_pImage;
    QMetaObject::Connection m_validation;
    QIcon m_iconValid;
    QIcon m_iconInvalid;
    // The text a group node shows before its counts.
    QString m_strLabel;
    bool m_bCountPending = false;
};
