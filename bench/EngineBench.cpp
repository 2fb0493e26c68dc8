// One page "state" message, from the text the web channel carries to the controller's
// reaction, on the main thread.

#include "core/Clock.h"
#include "playback/PlaybackController.h"
#include "webplayer/WebEngineSetup.h"
#include "webplayer/WebPlaybackEngine.h"

#include <QGuiApplication>
#include <QJsonDocument>
#include <QSettings>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

#include <unistd.h>

using namespace velloran;
using namespace Qt::StringLiterals;

namespace {

Record benchRecord()
{
    QList<Track> tracks;
    for (int i = 0; i < 12; ++i)
        tracks.append({u"spotify:track:bench"_s + QString::number(i), u"Song"_s, u"Band"_s, 240'000});
    return Record::make(u"bench"_s, u"spotify:album:bench"_s, Record::Kind::album, u"Bench"_s, u"Band"_s,
                        std::nullopt, std::nullopt, tracks);
}

QByteArray stateMessage(qint64 position)
{
    return "{\"type\":\"state\",\"data\":{\"paused\":false,\"position\":" + QByteArray::number(position)
        + ",\"duration\":240000,\"uri\":\"spotify:track:bench3\",\"linkedFrom\":null,"
          "\"previous\":[\"spotify:track:bench1\",\"spotify:track:bench2\"]}}";
}

void BM_PageStateMessage(benchmark::State &state)
{
    QTemporaryDir dir;
    QSettings settings(dir.filePath(u"settings.ini"_s), QSettings::IniFormat);
    WebPlaybackEngine::Services services;
    services.accessToken = [](bool) -> QCoro::Task<QString> { co_return QString(); };
    services.request = [](QByteArray, QString, QMap<QString, QString>, std::optional<QJsonObject>) -> QCoro::Task<> {
        co_return;
    };
    WebPlaybackEngine engine(services, SystemClock::shared());
    PlaybackController controller(engine, SystemClock::shared(), settings);
    controller.setRecord(benchRecord());

    engine.receivePageMessage(QJsonDocument::fromJson(R"({"type":"ready","data":{"device_id":"bench"}})").object());
    controller.start(0, 3, 0, false);
    QCoreApplication::processEvents();
    engine.receivePageMessage(QJsonDocument::fromJson(stateMessage(0)).object());
    if (controller.status() != PlaybackController::Status::playing) {
        state.SkipWithError("the controller did not start");
        return;
    }

    qint64 position = 0;
    for (auto _ : state) {
        position += 250;
        const QByteArray text = stateMessage(position % 200'000);
        engine.receivePageMessage(QJsonDocument::fromJson(text).object());
        benchmark::DoNotOptimize(controller.trackIndex());
    }
}
BENCHMARK(BM_PageStateMessage)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Chromium's sandbox cannot start as root, which is how the benchmarks run in CI.
    if (geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    prepareWebEngine();
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
