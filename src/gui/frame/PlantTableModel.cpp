#include "frame/PlantTableModel.h"

#include <QBrush>
#include <QColor>
#include <QFont>

#include "plant/PlantHealth.h"
#include "plant/PlantText.h"

namespace qavix {

namespace {

using plant::PlantRow;
using plant::Severity;

// A margin of this many percent fills the bar; the monitors' default alert limit is at 130.
constexpr double kFullBarPercent = 200.0;

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

QColor severityBackground(Severity severity) {
    switch (severity) {
        case Severity::Ok:
            return QColor(232, 246, 232);
        case Severity::Attention:
            return QColor(255, 241, 184);
        case Severity::Fault:
            return QColor(255, 205, 205);
        case Severity::Offline:
            return QColor(214, 214, 214);
    }
    return {};
}

const plant::SensorMarginView* sensorOf(const PlantRow& row, int column) {
    const int channel = column - PlantTableModel::kColCh1;
    if (channel < 0 || channel >= plant::kPlantChannels) {
        return nullptr;
    }
    return &row.sensors[static_cast<size_t>(channel)];
}

bool hasSensor(const PlantRow& row, int column) {
    const int channel = column - PlantTableModel::kColCh1;
    const plant::SensorMarginView* sensor = sensorOf(row, column);
    return sensor != nullptr &&
           (sensor->known ||
            (row.status && static_cast<int>(row.status->sensors.size()) > channel));
}

}  // namespace

PlantTableModel::PlantTableModel(QObject* parent)
    : QAbstractTableModel(parent), m_clock([] { return std::time(nullptr); }) {}

int PlantTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int PlantTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

int PlantTableModel::rowOfName(const std::string& name) const {
    return m_rowOfName.value(qs(name), -1);
}

void PlantTableModel::update(const std::vector<PlantRow>& rows) {
    for (const PlantRow& r : rows) {
        const int at = rowOfName(r.name);
        if (at >= 0) {
            m_rows[static_cast<size_t>(at)] = r;
            emit dataChanged(index(at, 0), index(at, kColumnCount - 1));
            continue;
        }
        const int end = static_cast<int>(m_rows.size());
        beginInsertRows({}, end, end);
        m_rows.push_back(r);
        m_rowOfName.insert(qs(r.name), end);
        endInsertRows();
    }
}

void PlantTableModel::setConnection(const plant::PlantConnection& connection) {
    const bool wasLive = live();
    m_connection = connection;
    if (wasLive != live() && !m_rows.empty()) {
        emit dataChanged(index(0, 0), index(rowCount() - 1, kColumnCount - 1));
    }
}

void PlantTableModel::tick() {
    if (m_rows.empty()) {
        return;
    }
    // Staleness can change a row's severity, its colour and its order.
    emit dataChanged(index(0, 0), index(rowCount() - 1, kColumnCount - 1),
                     {Qt::DisplayRole, Qt::BackgroundRole, kSortRole, kFilterRole});
}

QString PlantTableModel::text(const PlantRow& row, int column, std::time_t now) const {
    const plant::StatusMessage* s = row.status ? &*row.status : nullptr;
    switch (column) {
        case kColSeverity:
            return qs(plant::severityText(plant::severityOf(row, now)));
        case kColName:
            return qs(plant::shownText(row.name));
        case kColLine:
            return s ? qs(plant::lineText(s->line)) : QStringLiteral("—");
        case kColController:
            return s ? qs(plant::controllerStateText(*s)) : QStringLiteral("—");
        case kColCh1:
        case kColCh2:
        case kColCh3:
            return hasSensor(row, column)
                       ? qs(plant::marginText(column - kColCh1 + 1, *sensorOf(row, column)))
                       : QString();
        case kColAlert:
            return row.lastAlert ? qs(plant::alertText(row.lastAlert->alert) + " " +
                                      plant::ageText(row.lastAlert->received, now))
                                 : QStringLiteral("—");
        case kColError:
            return row.lastError ? qs(plant::errorEntryText(row.lastError->entry) + " " +
                                      plant::ageText(row.lastError->received, now))
                                 : QStringLiteral("—");
        case kColLastSeen:
            return qs(plant::ageText(row.lastSeen, now));
        case kColFingerprint:
            return s && !s->fingerprint.empty() ? qs(plant::shownText(s->fingerprint))
                                                : QStringLiteral("—");
        case kColPort:
            return s ? qs(plant::portText(*s)) : QStringLiteral("—");
        default:
            return {};
    }
}

QVariant PlantTableModel::sortKey(const PlantRow& row, int column, std::time_t now) const {
    switch (column) {
        case kColSeverity:
            return static_cast<int>(plant::severityOf(row, now));
        case kColCh1:
        case kColCh2:
        case kColCh3: {
            const auto* sensor = sensorOf(row, column);
            return sensor->margin ? sensor->margin->percent : 1e9;
        }
        case kColAlert:
            return row.lastAlert ? static_cast<qlonglong>(row.lastAlert->received) : 0LL;
        case kColError:
            return row.lastError ? static_cast<qlonglong>(row.lastError->received) : 0LL;
        case kColLastSeen:
            return row.lastSeen ? static_cast<qlonglong>(*row.lastSeen) : 0LL;
        default:
            return text(row, column, now);
    }
}

QVariant PlantTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const PlantRow& row = m_rows[static_cast<size_t>(index.row())];
    const std::time_t now = m_clock();
    const int column = index.column();
    switch (role) {
        case Qt::DisplayRole:
        case Qt::AccessibleTextRole:
            return text(row, column, now);
        case Qt::ToolTipRole:
            return column == kColSeverity || column == kColName ? qs(plant::reasonsText(row, now))
                                                                : text(row, column, now);
        case Qt::BackgroundRole:
            return live() ? QBrush(severityBackground(plant::severityOf(row, now))) : QBrush();
        case Qt::ForegroundRole:
            // Without the broker the rows are what was last known, not the present.
            return live() ? QVariant() : QBrush(QColor(128, 128, 128));
        case Qt::FontRole: {
            if (row.marks == 0 || column != kColSeverity) {
                return {};
            }
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        case kSortRole:
            return sortKey(row, column, now);
        case kFilterRole:
            return qs(plant::shownText(row.name) + " " + plant::reasonsText(row, now) + " " +
                      (row.status ? plant::portText(*row.status) : std::string()));
        case kProblemRole:
            return plant::severityOf(row, now) != Severity::Ok;
        case kMarginBarRole: {
            const auto* sensor = sensorOf(row, column);
            if (sensor == nullptr || !sensor->margin) {
                return -1.0;
            }
            return std::clamp(sensor->margin->percent / kFullBarPercent, 0.0, 1.0);
        }
        case kMarginLowRole: {
            const auto* sensor = sensorOf(row, column);
            return sensor != nullptr && sensor->marginLow;
        }
        default:
            return {};
    }
}

QVariant PlantTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    switch (section) {
        case kColSeverity:
            return tr("状態");
        case kColName:
            return tr("名前");
        case kColLine:
            return tr("回線");
        case kColController:
            return tr("コントローラ");
        case kColCh1:
            return tr("CH1 マージン");
        case kColCh2:
            return tr("CH2 マージン");
        case kColCh3:
            return tr("CH3 マージン");
        case kColAlert:
            return tr("最終アラート");
        case kColError:
            return tr("最新エラー履歴");
        case kColLastSeen:
            return tr("最終受信");
        case kColFingerprint:
            return tr("フィンガープリント");
        case kColPort:
            return tr("ポート");
        default:
            return {};
    }
}

}  // namespace qavix
