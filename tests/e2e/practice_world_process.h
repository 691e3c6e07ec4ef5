#pragma once

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace corvane::testing {

// The bundled practice world as a child process on a free port, with its
// byte log, so a test can read back exactly what the client sent.
class PracticeWorldProcess {
public:
    PracticeWorldProcess() = default;
    PracticeWorldProcess(const PracticeWorldProcess&) = delete;
    PracticeWorldProcess& operator=(const PracticeWorldProcess&) = delete;
    ~PracticeWorldProcess() { stop(); }

    // Starts the server (extra options such as "--lag 2300" appended) and
    // reads the port it prints first, and with "--tls-port" the TLS port and
    // fingerprint it prints next. False when it did not come up.
    bool start(const QString& logPath, const QStringList& options = {}) {
        m_logPath = logPath;
        QStringList arguments{"--port", "0", "--log", logPath};
        arguments += options;
        m_process.setProgram(QStringLiteral(CORVANE_PRACTICE_WORLD));
        m_process.setArguments(arguments);
        m_process.setProcessChannelMode(QProcess::SeparateChannels);
        m_process.start();
        if (!m_process.waitForStarted(5000)) {
            return false;
        }
        while (!m_process.canReadLine()) {
            if (!m_process.waitForReadyRead(5000)) {
                return false;
            }
        }
        bool ok = false;
        m_port = static_cast<quint16>(m_process.readLine().trimmed().toUInt(&ok));
        if (!ok || m_port == 0) {
            return false;
        }
        if (!options.contains("--tls-port")) {
            return true;
        }
        while (!m_process.canReadLine()) {
            if (!m_process.waitForReadyRead(5000)) {
                return false;
            }
        }
        const QList<QByteArray> fields = m_process.readLine().trimmed().split(' ');
        m_tlsPort = static_cast<quint16>(fields.value(0).toUInt(&ok));
        m_fingerprint = QString::fromLatin1(fields.value(1));
        return ok && m_tlsPort != 0 && m_fingerprint.size() == 64;
    }

    void stop() {
        if (m_process.state() == QProcess::NotRunning) {
            return;
        }
        m_process.terminate();
        if (!m_process.waitForFinished(3000)) {
            m_process.kill();
            m_process.waitForFinished(3000);
        }
    }

    quint16 port() const { return m_port; }
    quint16 tlsPort() const { return m_tlsPort; }
    // SHA-256 of the certificate of this start, as the server printed it.
    const QString& fingerprint() const { return m_fingerprint; }

    // Every byte the server received on one connection (numbered from 1 in
    // the order they were accepted), unescaped from the log.
    // MCP lines the client sent by itself are left out here; receivedAll keeps them.
    QByteArray received(int connection) const { return withoutMcp(logged(connection, '<')); }
    QByteArray receivedAll(int connection) const { return logged(connection, '<'); }
    QByteArray sent(int connection) const { return logged(connection, '>'); }

private:
    QByteArray logged(int connection, char direction) const {
        QFile file(m_logPath);
        if (!file.open(QIODevice::ReadOnly)) {
            return {};
        }
        // Each entry: TIMESTAMP #N < "escaped bytes"
        const QByteArray marker = " #" + QByteArray::number(connection) + ' ' + direction + " \"";
        QByteArray bytes;
        for (const QByteArray& line : file.readAll().split('\n')) {
            const qsizetype at = line.indexOf(marker);
            if (at < 0 || !line.endsWith('"')) {
                continue;
            }
            bytes += unescape(line.mid(at + marker.size(), line.size() - at - marker.size() - 1));
        }
        return bytes;
    }

    static QByteArray withoutMcp(const QByteArray& bytes) {
        const auto lineEnd = [&](qsizetype from) {
            const qsizetype end = bytes.indexOf('\n', from);
            return end < 0 ? bytes.size() : end + 1;
        };
        QByteArray out;
        for (qsizetype from = 0; from < bytes.size();) {
            // Telnet answers and reports may come just before the line; they
            // stay. A window size is a subnegotiation whose bytes may hold a
            // line feed, so the line starts after it.
            qsizetype text = from;
            while (text + 3 <= bytes.size() && static_cast<unsigned char>(bytes[text]) == 0xFF) {
                if (static_cast<unsigned char>(bytes[text + 1]) == 0xFA) {
                    const qsizetype se = bytes.indexOf("\xff\xf0", text + 2);
                    text = se < 0 ? bytes.size() : se + 2;
                } else {
                    text += 3;
                }
            }
            const qsizetype end = lineEnd(text);
            out += bytes.mid(from, text - from);
            if (!bytes.mid(text, 3).startsWith("#$#")) {
                out += bytes.mid(text, end - text);
            }
            from = end;
        }
        return out;
    }

    static QByteArray unescape(const QByteArray& text) {
        QByteArray out;
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text[i] != '\\' || i + 1 >= text.size()) {
                out += text[i];
                continue;
            }
            const char code = text[++i];
            switch (code) {
            case 'r':
                out += '\r';
                break;
            case 'n':
                out += '\n';
                break;
            case 't':
                out += '\t';
                break;
            case 'x':
                out += static_cast<char>(text.mid(i + 1, 2).toInt(nullptr, 16));
                i += 2;
                break;
            default:
                out += code;
                break;
            }
        }
        return out;
    }

    QProcess m_process;
    QString m_logPath;
    quint16 m_port = 0;
    quint16 m_tlsPort = 0;
    QString m_fingerprint;
};

} // namespace corvane::testing
