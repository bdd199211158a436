#pragma once

#include <QRectF>
#include <QSize>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class CDatabaseModel;
class CDatabaseRecord;
class CProjectModel;
class QWidget;
struct SDecodedImage;

// A box to be stored with an image being added: image pixels of the upright
// image, and the category it belongs to.
struct SAddedRoi
{
    QRectF rcBox;
    int nCategoryID = -1;
};

// Adds files to one image list of the project. Copying and decoding run on
// all cores; each copy gets its name, its row (and its boxes' rows) and its
// messages on the GUI thread in the order given, as if the files were added
// one by one. Rows are committed in chunks; a chunk that cannot be
// committed is rolled back whole and its copies removed, so no image is
// ever half added. Cancel (in the progress dialog) keeps what was committed
// and adds nothing more. Borrows the database and the model; GUI thread.
class CImageAdder
{
public:
    CImageAdder(CDatabaseModel* pDatabase, CProjectModel* pModel, const QString& strType);

    // Boxes per file, in the order of the files given to Run; a file with
    // an empty list gets no boxes. Boxes are clipped to the image and
    // dropped (with a failure line) when nothing of them is left, or when
    // the stored copy has another size than the one given with them.
    void SetRois(std::vector<std::vector<SAddedRoi>> vctRois, std::vector<QSize> vctSizes);
    // Adds the files; false when the user cancelled.
    bool Run(const QStringList& lstFiles, QWidget* pParent);

    // "file: why" for every file or box that was not added.
    const QStringList& GetFailures() const { return m_lstFailures; }
    int GetAddedCount() const { return m_nAdded; }
    int GetAddedRoiCount() const { return m_nAddedRois; }

private:
    void AddOne(int nIndex, const QString& strSource, const SDecodedImage& decoded);
    // The file's boxes as rows of the image; false when a row cannot be written.
    bool InsertRois(int nIndex, int nImageID, const SDecodedImage& decoded, const QString& strSource);
    void Fail(const QString& strFile, const QString& strWhy);
    bool StartChunk();
    void CommitPending();

    CDatabaseModel* m_pDatabase;
    CProjectModel* m_pModel;
    QString m_strType;
    QString m_strImageDir;
    bool m_bInTransaction = false;
    bool m_bChunkFailed = false;
    std::vector<std::shared_ptr<CDatabaseRecord>> m_vctPending;
    QStringList m_lstPendingFiles;
    int m_nPendingRois = 0;
    std::vector<std::vector<SAddedRoi>> m_vctRois;
    std::vector<QSize> m_vctSizes;
    QStringList m_lstFailures;
    int m_nAdded = 0;
    int m_nAddedRois = 0;
};
