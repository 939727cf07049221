#include "monitor/LevelGraphFiles.h"

#include <QCoreApplication>

#include <QBuffer>
#include <QFileInfo>
#include <QMessageBox>
#include <ctime>

#include "files/FileIo.h"
#include "monitor/LevelCsv.h"

namespace qavix {

namespace {

std::tm localNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

}  // namespace

QString LevelGraphFiles::csvPath(const QString& given) {
    return choose(given,
                  SaveFileRequest{saveAsTitle(), csvFileFilters(), "csv",
                                  QString::fromStdString(levels::defaultCsvName(localNow()))});
}

QString LevelGraphFiles::imagePath(const QString& given) {
    std::string name = levels::defaultCsvName(localNow());
    name.replace(name.size() - 3, 3, "png");
    return choose(given, SaveFileRequest{saveAsTitle(),
                                         {QCoreApplication::translate("qavix::LevelGraphFiles",
                                                                      "PNG 画像 (.png) (*.png)"),
                                          csvFileFilters().last()},
                                         "png",
                                         QString::fromStdString(name)});
}

QString LevelGraphFiles::choose(const QString& given, const SaveFileRequest& request) {
    if (!given.isEmpty()) {
        return given;
    }
    QString path;
    if (m_ask) {
        path = m_ask(request);
    } else {
        SaveFileRequest r = request;
        r.confirmOverwrite = false;
        path = askSaveFile(&m_owner, r);
    }
    if (path.isEmpty() || !confirmOverwrite(path)) {
        return QString();
    }
    return path;
}

bool LevelGraphFiles::confirmOverwrite(const QString& path) {
    if (!QFileInfo::exists(path)) {
        return true;
    }
    const auto answer = QMessageBox::question(
        &m_owner, QCoreApplication::translate("qavix::LevelGraphFiles", "名前を付けて保存"),
        QCoreApplication::translate("qavix::LevelGraphFiles",
                                    "%1 は既に存在します。\n上書きしますか?")
            .arg(QFileInfo(path).fileName()),
        QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel);
    return answer == QMessageBox::Ok;
}

bool LevelGraphFiles::writeImage(const QImage& image, const QString& path) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    return image.save(&buffer, "PNG") &&
           fileio::writeFileAtomic(
               path.toStdString(),
               std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())))
               .ok;
}

}  // namespace qavix
