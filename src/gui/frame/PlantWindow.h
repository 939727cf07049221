#pragma once
// "プラント表示": every controller the plant's monitors publish, one row each, from the
// broker of the environment settings' "プラント" group. The subscription runs on a thread
// of its own (core/plant); the window takes what changed a few times a second at most,
// whatever the message rate, so it never waits on the network and stays fluid with
// hundreds of controllers. A happening that needs a person raises a desktop notification
// and marks its row until acknowledged. A double click or Enter on a row opens that
// controller in the main window when this PC can reach its port, and else says why.

#include <QMainWindow>
#include <QTimer>
#include <ctime>
#include <functional>
#include <memory>

#include "plant/PlantReach.h"
#include "plant/PlantSettings.h"
#include "plant/PlantSubscriber.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace qavix {

class DesktopNotifier;
class PlantFilterProxy;
class PlantTableModel;

// What opening a controller came to, as the main window's owner reports it.
struct PlantOpenOutcome {
    bool opened = false;
    bool busy = false;  // another program holds the port
    QString message;    // why not, when not and not busy
};

struct PlantWindowServices {
    plant::PlantSettings settings;
    std::string thisHost;  // this machine's name, as a monitor here publishes it
    // Opens the controller in the main window; empty: the window offers no opening.
    std::function<PlantOpenOutcome(const plant::Reach&)> open;
    DesktopNotifier* notifier = nullptr;
    std::function<std::time_t()> wallClock;
};

class PlantWindow : public QMainWindow {
    Q_OBJECT
  public:
    // At most this often the rows are brought up to date.
    static constexpr int kBatchMs = 300;
    static constexpr int kClockMs = 1000;

    explicit PlantWindow(PlantWindowServices services, QWidget* parent = nullptr);
    ~PlantWindow() override;

    // Starts the subscription; the window shows why when it cannot.
    void start();
    // Opens the controller of a row of the view (a proxy row), or says why not.
    void openRow(int viewRow);
    void acknowledgeSelected();
    void acknowledgeAll();

    PlantTableModel* model() const { return m_model; }
    PlantFilterProxy* proxy() const { return m_proxy; }
    QTableView* view() const { return m_view; }
    QCheckBox* problemsOnlyBox() const { return m_problemsOnly; }
    QLineEdit* filterEdit() const { return m_filter; }
    QLabel* connectionLabel() const { return m_connectionLabel; }
    QString summary() const;
    // The message boxes the window shows; tests answer them.
    using MessageShower = std::function<void(const QString& title, const QString& text)>;
    void setMessageShower(MessageShower shower) { m_showMessage = std::move(shower); }

  signals:
    // After each batch of rows was applied (tests and the benchmark watch it).
    void refreshed();

  private slots:
    void scheduleRefresh();

  private:
    void buildControls();
    void refresh();
    void tick();
    void updateTexts();
    void notifyEvents(const std::vector<plant::PlantEvent>& events);
    void say(const QString& text);
    void fitColumns();

    PlantWindowServices m_services;
    std::unique_ptr<plant::PlantSubscriber> m_subscriber;
    PlantTableModel* m_model = nullptr;
    PlantFilterProxy* m_proxy = nullptr;
    QTableView* m_view = nullptr;
    QCheckBox* m_problemsOnly = nullptr;
    QLineEdit* m_filter = nullptr;
    QPushButton* m_acknowledge = nullptr;
    QPushButton* m_acknowledgeAll = nullptr;
    QPushButton* m_open = nullptr;
    QLabel* m_connectionLabel = nullptr;
    QLabel* m_summaryLabel = nullptr;
    QLabel* m_skippedLabel = nullptr;
    QTimer m_batch;
    QTimer m_clock;
    QString m_setupProblem;
    plant::PlantConnection m_connection;
    std::uint64_t m_skipped = 0;
    QString m_lastSkip;
    MessageShower m_showMessage;
    bool m_fittingColumns = false;
    bool m_columnsSizedByUser = false;
};

}  // namespace qavix
