#pragma once

#include "common/database/DatabaseModel.h"
#include "common/mvc/CenterCtrl.h"
#include "trainer/detect/DetectionProposals.h"

#include <QDateTime>
#include <QProcess>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QVariant>
#include <QVector>

#include <map>
#include <memory>
#include <set>
#include <vector>

enum class ELabelFormat;
enum class EImageView2DSuggestionAction;
struct SProposalImage;
struct SProposeRequest;
struct SImportRequest;
struct SLabelledSet;
class CClassEditorController;
class CClassEditorView;
class CConfigurationEditorView;
class CDatabaseModelFactoryImpl;
class CParameterEditorController;
class CParameterEditorView;
class CPropertyModel;
class CPropertyView;
class CSelectClassNameController;
class CSelectClassNameView;
class CDatasetImage;
class CDatasetRoi;
class CDrawableGeometry;
class CDrawableObject;
class CMVCManager;
class CProcessOutputBuffer;
class CProjectExplorerView;
class CProjectImage;
class CProjectModel;
class CProposalRun;
class CStatisticsView;
class CTrainingModel;
class CTrainingRuns;
class QSqlQuery;
class QTimer;
class QWidget;

// The controller of the open project: owns its database connection, keeps the
// project model in step with the database and carries out every project
// command of the main window and the project explorer (open, close, delete,
// properties, the recent list). It also follows the training run into the
// training model (the chart's data), keeps the statistics window up to date
// and adapts the network configuration to the categories. Created by the main
// window with the model and the explorer (both borrowed); GUI thread.
class CProjectController : public CController
{
    Q_OBJECT
public:
    CProjectController(CProjectModel* pModel, CProjectExplorerView* pExplorer);
    ~CProjectController() override;

    void LoadProject(const QString& strFolder, const QString& strName);
    // False when refused (the user keeps a running training) or impossible.
    bool CloseCurrentProject();
    void AddHistory(const QString& strFolder, const QString& strName);
    void RemoveHistory(const QString& strFolder, const QString& strName);
    // Value of a property of the open project, empty when absent.
    QString FindProjectProperty(const QString& strKey);

    // Validation: an image is valid when it has at least one ROI, every ROI
    // names an existing category, its size is known and its paths stay inside
    // the project. Flags are stored in the model's images.
    bool ValidateROI();
    bool ValidateImageROI(const std::shared_ptr<CProjectImage>& pImage,
                          const std::vector<std::shared_ptr<CDatabaseRecord>>& vctCategories);
    bool ValidateImageROI(int nImageID);
    int FindCategoryID(const QString& strName);
    QString FindCategoryName(int nID);

    // The image's size and its ROIs' boxes (by ID) as one transaction; the
    // views follow. False (nothing written) when that fails.
    bool ApplyImageSize(int nImageID, const QSize& size, const std::map<int, QRectF>& mapBoxes);

    // Writes the Darknet training files; false when validation or a file fails.
    bool Build();
    // Offers to adapt a configuration that does not fit the categories and
    // to continue from the newest weights in "Backup", builds, then starts the
    // Darknet executable in the project folder, or on the project's training
    // target (another machine, a Slurm cluster) in its folder there.
    void Start();
    // Ends a running training process (terminate, then kill), or the run on
    // the training target, and waits until it is gone.
    void Stop();
    // True when no training process runs; otherwise tells the user so.
    bool IsCommandNotRunning();
    // Asks whether the running training may end with the project. A run on
    // another machine may also go on without it (reattached on the next
    // opening). False when the user keeps the project open.
    bool ConfirmEndOfRun();

    // ROIs in the image views. A view is bound to the project image opened
    // into it from the moment the open succeeded until the view shows
    // another image (or none), or the project closes; only a bound view's
    // drawables are ROIs, and each is written to the image of its own view.
    // Asks for a new class of a stored ROI ("Update" in the drawable menu).
    void UpdateClassName(int nViewID, unsigned int nGeometryUID);
    // True when the view is bound to the image it reports; logs otherwise.
    bool ValidateViewImage(int nViewID, unsigned int nImageUID);
    // Opens the project image (its ID and FULL_PATH) in the view, or in
    // the one the user chooses for -1, with its stored ROIs.
    void OpenImage(int nImageID, const QString& strFilePath, int nViewID);
    // The project image (dataset ID) a view is bound to, -1 when none.
    int GetViewImageID(int nViewID) const;
    // Fast annotation. Walking: opens the image nStep (1 or -1) rows on from
    // the view's image in its list (from the explorer's current node while
    // the view shows no project image) in that view; nothing beyond the
    // ends of the list. The next image without ROIs likewise.
    void StepImageInView(int nViewID, int nStep);
    void NextImageWithoutRoisInView(int nViewID);
    // "Copy ROIs from previous image": the stored ROIs of the image before
    // the view's image in its list, in their order and scaled to this
    // image's size, become ROIs of this image: one transaction, one undo
    // step of the view (its undo removes exactly these rows).
    void CopyRoisFromPreviousImage(int nViewID);
    // How long Stop waits for the process to end before killing it.
    void SetStopTimeout(int nMilliseconds) { m_nStopTimeoutMs = nMilliseconds; }

    int GetProjectID() const { return m_nProjectID; }
    CDatabaseModel* GetDatabase() const { return m_pDatabase; }
    QProcess* GetProcess() const { return m_pProcess; }
    CClassEditorView* GetClassEditorView() const { return m_pClassEditorView; }
    CParameterEditorView* GetParameterEditorView() const { return m_pParameterEditorView; }
    CConfigurationEditorView* GetConfigurationEditorView() const { return m_pConfigurationEditorView; }
    CSelectClassNameView* GetSelectClassNameView() const { return m_pSelectClassNameView; }
    CPropertyModel* GetPropertyModel() const { return m_pPropertyModel; }
    CPropertyView* GetPropertyView() const { return m_pPropertyView; }
    CTrainingModel* GetTrainingModel() const { return m_pTrainingModel.get(); }
    // The local and remote training runs (for tests of remote runs).
    CTrainingRuns* GetTrainingRuns() const { return m_pRuns.get(); }
    CStatisticsView* GetStatisticsView() const { return m_pStatisticsView; }

    // Rows of one table matching the column map, cast to the record class.
    template <typename T>
    std::vector<std::shared_ptr<T>> FindDatabaseModel(const QString& strTable,
                                                      const CDatabaseModel::ColumnMap& mapWhere)
    {
        std::vector<std::shared_ptr<T>> vctResult;
        if (!m_pDatabase)
            return vctResult;
        CDatabaseModel::RecordList vctRecords;
        m_pDatabase->SelectFromTable(strTable, vctRecords, mapWhere);
        vctResult.reserve(vctRecords.size());
        for (const std::shared_ptr<CDatabaseRecord>& pRecord : vctRecords)
            vctResult.push_back(std::dynamic_pointer_cast<T>(pRecord));
        return vctResult;
    }

public slots:
    void slot_CloseProject();
    void slot_DeleteProject();
    void slot_UpdateProjectProperty(const QString& strKey, const QVariant& value);
    void slot_CommandStateChange(QProcess::ProcessState newState);
    void slot_ReadLogFromCommand();
    void slot_ReadErrFromCommand();
    void slot_AddTrainImage();
    void slot_AddTestImage();
    void slot_RemoveTrainImage(int nImageID);
    void slot_RemoveTestImage(int nImageID);
    void slot_ShuffleTrainImage();
    void slot_SortTrainImage();
    void slot_CheckValidateROI();
    void slot_EditClasses();
    void slot_EditParameters();
    void slot_EditConfiguration();
    void slot_ProjectProperty();
    void slot_OpenImage(int nImageID, const QString& strFilePath);
    void slot_AddDrawableObjectWithViewID(int nViewID, unsigned int nImageUID, unsigned int nGeometryUID,
                                          QString strName);
    void slot_BeforeDeleteDrawableObjectWithViewID(int nViewID, unsigned int nImageUID,
                                                   unsigned int nGeometryUID, QString strName);
    void slot_DeleteDrawableObjectWithViewID(int nViewID, unsigned int nImageUID, unsigned int nGeometryUID,
                                             QString strName);
    void slot_ChangeDrawableObjectPropertyWithViewID(int nViewID, unsigned int nImageUID,
                                                     unsigned int nGeometryUID);
    // A move or resize of these drawables was completed, undone or redone:
    // their new boundaries are stored, all in one transaction.
    void slot_CommitDrawableObjectGeometryWithViewID(int nViewID, unsigned int nImageUID,
                                                     const QVector<unsigned int>& vctGeometryUIDs);
    // The view shows another image (or none): its binding ends.
    void slot_ChangeViewImageWithViewID(int nViewID, unsigned int nImageUID);
    void slot_ShowStatistics();
    // "Accept New Image Size": the image's file was replaced by one of
    // another size; its size and its boxes, scaled, follow the file as one
    // undo step of the view that shows it (opened there first if none).
    void slot_AcceptImageSize(int nImageID);
    // The explorer's walking keys: from its current node, into the active view.
    void slot_StepImage(int nStep);
    void slot_NextImageWithoutRois();
    // "Keep class" was switched: the views' titles say which class is kept.
    void slot_ChangeKeepClass();
    // Fits the text in the configuration editor to the categories, after
    // showing the lines that change.
    void slot_AdaptToClasses();
    // File > "Import labelled images..." and "Export labelled images...".
    void slot_ImportLabelledImages();
    void slot_ExportLabelledImages();
    // Run > "Propose boxes...": the trained model's boxes as proposals.
    void slot_ProposeBoxes();
    // Run > "Evaluate weights...": mAP per weights file on the test list.
    void slot_EvaluateWeights();
    // Run > "Calculate anchors...": anchors for the project's boxes into
    // every [yolo] section, as one undoable edit.
    void slot_CalculateAnchors();

public:
    // Reads labelled images (YOLO, VOC, COCO), creates the classes they
    // name after one confirmation, and adds the images with their boxes as
    // Add Images does, split into the lists as asked; a summary of every
    // problem follows. False when nothing could be imported.
    bool ImportLabelled(const SImportRequest& request);
    // Writes the images (0 all, 1 train, 2 test) with their boxes in the
    // format into strFolder, then shows a summary.
    bool ExportLabelled(ELabelFormat eFormat, const QString& strFolder, int nWhich, bool bCopyImages);

    // Runs Darknet's detector with the weights on the images of the request
    // and keeps its boxes as proposals of those images (replacing their
    // pending ones); a summary of what was proposed and dropped follows.
    // False when nothing was run or nothing came back.
    bool ProposeBoxes(const SProposeRequest& request);
    // A view's proposed boxes: what the user asked of them.
    void HandleProposal(int nViewID, EImageView2DSuggestionAction eAction, int nIndex);
    // The steps of one accept or reject, as its undo step runs them
    // (ProposalCommand): an accept stores the proposals as ROIs (with the
    // IDs in vctRoiIDs when it has them, filling it otherwise) and takes
    // them from the pending ones, its undo deletes those rows and makes the
    // proposals pending again; a reject only takes them away, its undo
    // brings them back. False (nothing changed, the user told, the step
    // withdrawn) when it cannot be stored.
    bool AcceptProposals(int nImageID, const std::vector<SProposal>& vctProposals,
                         std::vector<int>& vctRoiIDs, bool bAccept);
    bool RejectProposals(int nImageID, const std::vector<SProposal>& vctProposals, bool bReject);

private:
    using RoiMap = std::map<int, std::vector<std::shared_ptr<CDatasetRoi>>>;
    using RoiPtr = std::shared_ptr<CDatasetRoi>;
    using GeometryPtr = std::shared_ptr<CDrawableGeometry>;

    // The project image a view shows: its id in the view, its row ID and
    // its name.
    struct SViewImage
    {
        unsigned int nImageUID = 0;
        int nImageID = -1;
        QString strName;
    };
    // An entry of one of the image lists; nIndex -1 is before the first.
    struct SListPosition
    {
        bool bTrain = true;
        int nIndex = -1;
    };
    // Marks the controller's own changes of what a view shows for as long
    // as it lives.
    class CQuiet
    {
    public:
        explicit CQuiet(int& nQuiet) : m_nQuiet(++nQuiet) {}
        ~CQuiet() { --m_nQuiet; }
        CQuiet(const CQuiet&) = delete;
        CQuiet& operator=(const CQuiet&) = delete;

    private:
        int& m_nQuiet;
    };
    // A stored ROI whose deletion was refused outside any undo step: put
    // back once the view has let it go.
    struct SRestore
    {
        int nViewID = -1;
        std::shared_ptr<CDrawableObject> pObject;
    };

    // Parent of the dialogs the controller opens: the project explorer.
    QWidget* DialogParent() const;
    static QString ProjectFile(const QString& strFolder, const QString& strName);
    static void StoreHistory(const QStringList& lstEntries);
    bool OpenProjectDatabase(const QString& strFolder, const QString& strName);
    void FillModel(const QString& strFolder, const QString& strName, int nProjectID);
    void FailLoading(const QString& strFolder, const QString& strName);
    void ResetProjectState();
    void CreateEditors();
    void ConnectEditors();
    void ConnectExplorer();
    void ConnectStatistics();
    void AddImages(const QString& strType);
    void RemoveImage(int nImageID, const QString& strType);
    void CloseImageInViews(int nImageID);
    // Every ROI of the project grouped by image, in row order, with one query.
    RoiMap SelectRoisByImage();
    // What validation needs of one ROI.
    struct SRoiFacts
    {
        int nCategoryID = -1;
        QRectF rcBox;
    };
    // vctRois: the ROIs of the image.
    bool ValidateImage(const std::shared_ptr<CProjectImage>& pImage, const std::set<int>& setCategoryIDs,
                       const std::vector<SRoiFacts>& vctRois);
    // The file's size and where the boxes lie; false (and logged) when
    // the image cannot train as stored.
    bool ValidateGeometry(const CProjectImage& image, const CDatasetImage& record,
                          const std::vector<SRoiFacts>& vctRois);
    // The columns of dataset_roi that validation reads, in SRoiFacts' order.
    static QStringList RoiFactColumns(bool bWithImageID);
    static SRoiFacts RoiFactsOf(const QSqlQuery& query, int nFirstColumn);
    // False when the image's file no longer has the size the project holds
    // (it was replaced after adding); sizeFile is the file's. True when the
    // file's header cannot be read: that is for whoever opens it to say.
    bool CheckImageSize(const CProjectImage& image, QSize& sizeFile);
    void ReadProcessOutput(bool bError);
    // Output of the training run, wherever it runs.
    void HandleRunOutput(const QByteArray& baChunk, bool bError);
    void ConnectRuns();
    void WriteProcessLines(const QStringList& lstLines, bool bError);
    void FinishProcessOutput();
    // Iterations and mAP results of standard output go to the training model.
    void TrackTraining(const QStringList& lstLines);
    // False when the user cancels the start.
    bool OfferAdaptation();
    // The weights to train from: the initial weights, or the newest ones of
    // this configuration in "Backup" if the user chooses to continue. False
    // when the user cancels the start.
    bool ChooseWeights(QString& strWeights);
    int CategoryCount();
    void ScheduleStatistics();
    void RefreshStatistics();

    // Walking the image lists and decoding ahead (ProjectCtrlWalk.cpp).
    void ConnectWalking();
    // The file a project path (relative, maybe with "\\") names.
    QString ImageFilePath(const QString& strFilePath) const;
    // False when the image is in neither list.
    bool FindPosition(int nImageID, SListPosition& position) const;
    // The explorer's current node, or the view's image when it shows one.
    bool ExplorerPosition(SListPosition& position) const;
    bool ViewPosition(int nViewID, SListPosition& position) const;
    std::vector<std::shared_ptr<CProjectImage>> ListOf(const SListPosition& position) const;
    void Walk(const SListPosition& from, int nStep, int nViewID);
    void WalkToUnlabelled(const SListPosition& from, int nViewID);
    void OpenInView(const std::shared_ptr<CProjectImage>& pImage, int nViewID);
    // The images next to the one opened last are decoded ahead.
    void RequestPrefetch();

    // ROIs in the image views (ProjectCtrlRoi*.cpp).
    static CMVCManager* FindManager();
    // The geometry drawable of a view, null for anything else.
    static GeometryPtr FindGeometry(CMVCManager* pManager, int nViewID, unsigned int nGeometryUID);
    // The ROI ID a drawable carries, -1 when it is not a stored ROI.
    static int RoiIDOf(const CDrawableObject& object);
    static QRectF StoredRect(const CDatasetRoi& roi);
    static bool SameBox(const QRectF& a, const QRectF& b);
    // Shows the rectangle as the drawable's shape from now on.
    static void ShowRectangle(CDrawableGeometry& drawable, const QRectF& rcBox);
    // Names of the categories by ID.
    std::map<int, QString> CategoryNames();
    // Adds the classes (one transaction); false, with a message, when it cannot.
    bool CreateCategories(const QStringList& lstNames);
    // The project's images of a list (0 all, 1 train, 2 test) with their boxes.
    SLabelledSet LabelledSet(int nWhich);
    bool ReadLabelledSet(const SImportRequest& request, SLabelledSet& set);
    // Adds the images at the indices into a list; false when cancelled.
    bool AddLabelled(const SLabelledSet& set, const std::vector<int>& vctIndices, bool bTest,
                     const std::map<QString, int>& mapCategories, QStringList& lstFailures, int& nAdded,
                     int& nAddedBoxes);
    // The drawable showing a stored ROI (named "(no class)" when its
    // category is gone).
    static GeometryPtr MakeRoiDrawable(const CDatasetRoi& roi, const std::map<int, QString>& mapCategories);
    static QString RoiName(const CDatasetRoi& roi, const std::map<int, QString>& mapCategories);
    // "there is no class ..." for a store failure.
    static QString NoSuchClass(const QString& strClassName);
    // Tells the user once per image and session that its file no longer
    // has the size the project holds (see CheckImageSize).
    void WarnChangedSize(const CProjectImage& image);
    void BindView(int nViewID, const SViewImage& image);
    // A view that showed another image shows this project image (again).
    void RememberViewImage(int nViewID, const SViewImage& image);
    const SViewImage* FindKnownImage(int nViewID, unsigned int nImageUID) const;
    void ForgetKnownImage(int nImageID);
    // The view lets its project image go: its stored boxes leave it.
    void UnbindView(int nViewID);
    // What a bound view's title says about its image and the kept class.
    QString Caption(const QString& strImageName);
    void RefreshCaptions();
    // The class a new rectangle gets without asking ("Keep class"); false
    // when it is off, nothing was chosen yet or the class is gone.
    bool KeptClass(QString& strClassName);
    void UnbindViews();
    // Whether a drawable notification of the view is one to act on: not
    // one the controller caused itself, from a view bound to that image.
    bool AcceptsEvent(int nViewID, unsigned int nImageUID);
    // True (after telling the user, once per edit) while training runs;
    // never while the view takes back a withdrawn step.
    bool RefuseWhileRunning(int nViewID = -1);
    bool AskClassName(QString& strClassName);
    // The new rectangle gets a class and a row, or leaves the view.
    void StoreNewRoi(CMVCManager* pManager, int nViewID, const GeometryPtr& pDrawable);
    // A stored ROI came back without its row (undo of a delete, redo of an
    // add): the row is written again, with its own ID.
    void RestoreRoi(CMVCManager* pManager, int nViewID, const GeometryPtr& pDrawable);
    // Inserts the drawable's rectangle as an ROI of the image; on success
    // the drawable carries the new ID. nKeepID: the ID to insert with, or
    // -1 for a new one. strError says why it failed.
    bool InsertRoi(CDrawableGeometry& drawable, int nImageID, int nCategoryID, int nKeepID,
                   QString& strError);
    // "Cannot store ROI: <reason>".
    static void ShowStoreFailure(const QString& strReason);
    // Whether the view still shows the image it was bound to and the drawable.
    bool IsStillBound(int nViewID, const SViewImage& bound, const CDrawableObject& object);
    // What a refused edit did is taken back in the view at once, with its
    // undo step; eEdit says how when the edit was no step of the view.
    enum class EEdit
    {
        Added,
        Deleted,
        Moved
    };
    void Withdraw(CMVCManager* pManager, int nViewID, const std::vector<GeometryPtr>& vctDrawables,
                  EEdit eEdit, const QString& strError);
    // The image's area in pixels as the project holds it; empty when unknown.
    QRectF ImageArea(int nImageID) const;
    // The box as stored: normalised and clipped to the image; empty when
    // nothing of it lies on the image.
    QRectF StorableRect(const QRectF& rcBox, int nImageID) const;
    RoiPtr FindRoiRow(int nRoiID);
    // Proposals (ProjectCtrlPropose*.cpp). The images of a request, in list order.
    // mapRois: every ROI of the project by image.
    std::vector<std::shared_ptr<CProjectImage>> ProposalImages(const SProposeRequest& request,
                                                               const RoiMap& mapRois);
    // What the detector gets of the images: their paths and stored boxes.
    std::vector<SProposalImage> ProposalInput(const std::vector<std::shared_ptr<CProjectImage>>& vctImages,
                                              const RoiMap& mapRois);
    // Runs the detector of a prepared run and stores what it answered.
    bool RunDetector(CProposalRun& run, const QByteArray& baInput, const QString& strExe,
                     const QString& strWeights, double dThreshold);
    // Shows the pending proposals of the view's bound image in it (none
    // when it is bound to none).
    void ShowProposals(int nViewID);
    void ShowProposalsOfImage(int nImageID);
    // The category a proposal becomes: its own, or the one of its name
    // when that was made again since; -1 when neither exists.
    static int ProposalCategory(const SProposal& proposal, const std::map<int, QString>& mapCategories);
    QRectF ProposalRect(const SProposal& proposal, int nImageID) const;
    // Pushes the accept or reject as one undo step of the view.
    void PushProposalStep(int nViewID, const std::vector<SProposal>& vctProposals, bool bAccept);
    // The rows of an accept, with the IDs of vctRoiIDs when it holds one per
    // row (a redo), else new ones written into it; one transaction.
    bool InsertProposalRows(const std::vector<RoiPtr>& vctRows, std::vector<int>& vctRoiIDs);
    // Ends the undo step running in a view of the image (a refused accept).
    void WithdrawProposalStep(int nImageID);
    // The statement that stores an ROI's box.
    static QString BoxUpdate(int nRoiID, const QRectF& rcBox);
    std::map<int, RoiPtr> RoiRowsOfImage(int nImageID);
    // The rows inserted in one transaction, each with its new ID; false
    // (and nothing stored) when any insert fails.
    bool InsertRoisAtomic(const std::vector<RoiPtr>& vctRows);

    // One truth, many views (ProjectCtrlRoiSync.cpp): every view bound to
    // an image shows exactly its rows, each once.
    std::vector<int> ViewsOfImage(int nImageID) const;
    // Brings the views of the image (but nExceptView) in line with the
    // table, for the ROIs of pRoiIDs or (null) for all of them; without an
    // undo step there.
    void SyncViews(int nImageID, const std::set<int>* pRoiIDs, int nExceptView = -1);
    void SyncView(CMVCManager* pManager, int nViewID, const std::map<int, RoiPtr>& mapRows,
                  const std::map<int, QString>& mapCategories, const std::set<int>* pRoiIDs);
    // Every view of every image, after the classes changed.
    void SyncAllViews();

    CProjectExplorerView* m_pExplorer = nullptr;
    CProjectModel* m_pModel = nullptr;
    CClassEditorView* m_pClassEditorView = nullptr;
    CClassEditorController* m_pClassEditorController = nullptr;
    CSelectClassNameController* m_pSelectClassNameController = nullptr;
    CSelectClassNameView* m_pSelectClassNameView = nullptr;
    CParameterEditorView* m_pParameterEditorView = nullptr;
    CParameterEditorController* m_pParameterEditorController = nullptr;
    CConfigurationEditorView* m_pConfigurationEditorView = nullptr;
    int m_nCurrentImageID = -1;
    int m_nCurrentViewID = -1;
    // The direction of the last step through a list (1 or -1): the image
    // that way is decoded ahead first.
    int m_nWalkDirection = 1;
    std::map<int, SViewImage> m_mapViewImages;
    // The project images each view loaded, newest last: one coming back
    // (undo of a rotation, its thumbnail clicked) is bound again.
    std::map<int, std::vector<SViewImage>> m_mapViewKnown;
    // Above zero while the controller changes what views show itself: the
    // notifications that raises are its own.
    int m_nQuiet = 0;
    // Set while a refusal's message has been shown for the current edit.
    bool m_bRefusalShown = false;
    // Rows deleted through a view, by ROI ID, so an undo puts back the
    // same category even when that category is gone.
    std::map<int, RoiPtr> m_mapDeletedRois;
    // The proposals each view shows, in the order it shows them.
    std::map<int, std::vector<SProposal>> m_mapViewProposals;
    std::map<unsigned int, SRestore> m_mapRestore;
    // The size read from each image file's header, with the file's time
    // and length when read: validation reads a header again only for a
    // file that changed.
    struct SFileStamp
    {
        QDateTime timeModified;
        qint64 nBytes = -1;
        QSize size;
    };
    std::map<QString, SFileStamp> m_mapFileStamps;
    // Images whose changed size the user was told about this session.
    std::set<int> m_setSizeWarned;
    int m_nProjectID = -1;
    CDatabaseModel* m_pDatabase = nullptr;
    CDatabaseModelFactoryImpl* m_pFactory = nullptr;
    QProcess* m_pProcess = nullptr;
    CPropertyModel* m_pPropertyModel = nullptr;
    CPropertyView* m_pPropertyView = nullptr;
    std::unique_ptr<CProcessOutputBuffer> m_pOutputBuffer;
    std::unique_ptr<CProcessOutputBuffer> m_pErrorBuffer;
    // Outlives the process object's last signals in the destructor.
    std::unique_ptr<CTrainingModel> m_pTrainingModel;
    // Declared after the training model: a remote run let go at the end
    // still hands its last lines to it.
    std::unique_ptr<CTrainingRuns> m_pRuns;
    CStatisticsView* m_pStatisticsView = nullptr;
    // Coalesces the edits of one turn of the event loop into one refresh.
    QTimer* m_pStatisticsTimer = nullptr;
    int m_nStopTimeoutMs = 30000;
};
