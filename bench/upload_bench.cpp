// Uploading a long file to the practice world: the real client on the real
// socket and event loop plays a file of 200,000 lines and a closing QUIT;
// the time runs until the world has read them all and closed. Reported as
// lines a second. The status line and the send queue run as in the program.
#include "e2e/real_client.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <fstream>
#include <string>

namespace corvane::bench {
namespace {

constexpr int kLines = 200000;

bool runUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
    }
    return true;
}

class PracticeWorld {
public:
    PracticeWorld() {
        m_process.setProgram(QStringLiteral(CORVANE_PRACTICE_WORLD));
        m_process.setArguments({"--port", "0"});
        m_process.start();
        if (m_process.waitForStarted(5000)) {
            while (!m_process.canReadLine() && m_process.waitForReadyRead(5000)) {
            }
            m_port = static_cast<quint16>(m_process.readLine().trimmed().toUInt());
        }
    }
    ~PracticeWorld() {
        m_process.terminate();
        if (!m_process.waitForFinished(3000)) {
            m_process.kill();
            m_process.waitForFinished(3000);
        }
    }
    quint16 port() const { return m_port; }

private:
    QProcess m_process;
    quint16 m_port = 0;
};

void BM_UploadToThePracticeWorld(benchmark::State& state) {
    QTemporaryDir folder;
    const std::string path = folder.filePath("upload.txt").toStdString();
    {
        std::ofstream out(path, std::ios::binary);
        for (int i = 1; i <= kLines; ++i) {
            out << "say line " << i << " of the upload, long enough to be a plausible command\r\n";
        }
        out << "QUIT\r\n";
    }
    PracticeWorld world;
    if (world.port() == 0) {
        state.SkipWithError("the practice world did not start");
        return;
    }
    for (auto _ : state) {
        testing::RealClient<> rc;
        rc.connectTo(world.port());
        if (!runUntil([&] { return rc.socket.state() == Socket::State::Connected; }, 5000)) {
            state.SkipWithError("could not connect");
            return;
        }
        QElapsedTimer timer;
        timer.start();
        rc.client.fileSender().SendFile(path);
        if (!runUntil([&] { return rc.socket.state() == Socket::State::Closed; }, 600000)) {
            state.SkipWithError("the world never closed");
            return;
        }
        const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
        state.SetIterationTime(seconds);
        state.counters["lines_per_s"] = (kLines + 1) / seconds;
    }
}
BENCHMARK(BM_UploadToThePracticeWorld)->UseManualTime()->Iterations(1)->Repetitions(3)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace corvane::bench

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
