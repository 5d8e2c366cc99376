#pragma once

// Support for the game window tests: a fresh run folder and profile per test,
// pictures with a distinct colour in every pixel, a recorder for sound
// effects, and an answerer for modal dialogs.

#include "engine/PuzzleBoard.h"
#include "engine/Random.h"
#include "game/CongratsDlg.h"
#include "game/PuzzleDlg.h"
#include "res/ResourceIds.h"
#include "shell/Globals.h"
#include "shell/Profile.h"
#include "shell/SetupDlg.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace gametest {

// A picture whose neighbouring pixels all differ.
inline QImage Pattern(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            img.setPixel(x, y, qRgb((x * 5 + y) & 0xFF, (y * 3 + 40) & 0xFF, (x + y * 7 + 90) & 0xFF));
        }
    }
    return img;
}

// The run folder (current directory) and the profile folder of one test.
class RunFolder {
public:
    RunFolder()
    {
        m_oldCwd = QDir::currentPath();
        QDir(m_dir.path()).mkpath(QStringLiteral("run"));
        QDir(m_dir.path()).mkpath(QStringLiteral("config"));
        QDir::setCurrent(m_dir.filePath(QStringLiteral("run")));
        setenv("XDG_CONFIG_HOME", m_dir.filePath(QStringLiteral("config")).toLocal8Bit().constData(), 1);
    }
    ~RunFolder() { QDir::setCurrent(m_oldCwd); }
    RunFolder(const RunFolder&) = delete;
    RunFolder& operator=(const RunFolder&) = delete;

    // Writes bitmaps/pic1.bmp .. pic4.bmp, 300 x 300 so that no scaling blurs them.
    void WritePictures()
    {
        QDir().mkpath(QStringLiteral("bitmaps"));
        for (int n = 1; n <= 4; ++n) {
            QImage img = Pattern(300, 300);
            if (n > 1) {
                img.invertPixels();
            }
            img.save(QStringLiteral("bitmaps/pic%1.bmp").arg(n), "BMP");
        }
    }

    // Stores keys of the section "Tessra", as Start in the setup dialog would.
    static void Store(const std::map<std::string, int>& values)
    {
        CProfile profile(CProfile::DefaultPath());
        profile.Load();
        for (const auto& [key, value] : values) {
            profile.SetInt("Tessra", key, value);
        }
        QVERIFY(profile.Save());
    }

    static QString ProfilePath() { return QString::fromStdString(CProfile::DefaultPath()); }
    static QByteArray ProfileBytes()
    {
        QFile f(ProfilePath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private:
    QTemporaryDir m_dir;
    QString m_oldCwd;
};

// Sound effects by number (1 start .. 6 blip), recorded instead of played.
class SoundLog {
public:
    SoundLog()
    {
        s_effects.clear();
        CPuzzleBoard::s_pfnSoundSink = &Record;
    }
    ~SoundLog() { CPuzzleBoard::s_pfnSoundSink = nullptr; }
    SoundLog(const SoundLog&) = delete;
    SoundLog& operator=(const SoundLog&) = delete;

    static void Clear() { s_effects.clear(); }
    static const std::vector<int>& Effects() { return s_effects; }
    static int Count(int n)
    {
        int k = 0;
        for (int e : s_effects) {
            k += e == n ? 1 : 0;
        }
        return k;
    }

private:
    static bool Record(const std::string& path)
    {
        static const char* const kNames[6] = {"start", "win", "click", "miss", "ok", "blip"};
        for (int i = 0; i < 6; ++i) {
            if (path.find(kNames[i]) != std::string::npos) {
                s_effects.push_back(i + 1);
            }
        }
        return true;
    }
    static inline std::vector<int> s_effects;
};

// Answers modal dialogs while they are up: every few milliseconds the active
// modal widget goes to the handler of its kind.
class ModalAnswerer : public QObject {
public:
    struct Congrats {
        int moves, seconds, minutes;
    };

    ModalAnswerer()
    {
        m_timer.setInterval(5);
        connect(&m_timer, &QTimer::timeout, this, &ModalAnswerer::Poll);
        m_timer.start();
    }

    // What to do in "Player Setup" before Start (Enter); may be empty.
    std::function<void(CSetupDlg*)> onSetup;
    // The answer to the congratulation dialog: IDOK (YES) or IDCANCEL (NO).
    int congratsAnswer = IDCANCEL;

    // Any other modal dialog but the game window (the about box) is closed after this many
    // milliseconds; its title is kept.
    int otherDelayMs = 0;
    QStringList otherTitles;

    int setupsAnswered = 0;
    QStringList setupTitles;
    std::vector<Congrats> congrats;

private:
    void Poll()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == m_last) {
            return;
        }
        if (auto* setup = qobject_cast<CSetupDlg*>(modal)) {
            m_last = modal;
            setupTitles << setup->windowTitle();
            if (onSetup) {
                onSetup(setup);
            }
            ++setupsAnswered;
            QTest::keyClick(setup, Qt::Key_Return);
            m_last = nullptr;
        } else if (auto* dlg = qobject_cast<CCongratsDlg*>(modal)) {
            m_last = modal;
            congrats.push_back({dlg->m_nMoves, dlg->m_nSeconds, dlg->m_nMinutes});
            if (auto* button = dlg->GetDlgItemAs<QPushButton>(congratsAnswer)) {
                button->click();
            } else {
                dlg->EndDialog(congratsAnswer);
            }
            m_last = nullptr;
        } else if (auto* other = qobject_cast<QDialog*>(modal); other && !qobject_cast<CPuzzleDlg*>(modal)) {
            m_last = modal;
            otherTitles << other->windowTitle();
            QPointer<QDialog> target(other);
            QTimer::singleShot(otherDelayMs, other, [this, target] {
                if (target) {
                    target->done(IDCANCEL);
                }
                m_last = nullptr;
            });
        }
    }

    QTimer m_timer;
    QPointer<QWidget> m_last;
};

// Resets what a run of the program starts with.
inline void FreshProgramState()
{
    CPuzzleDlg::s_bFirstNewGame = true;
    CPuzzleDlg::s_bFirstUnscramble = true;
    CPuzzleBoard::s_nLastDir = 5;
    CRandom::SetState(1);
    g_bPatternShown = false;
}

// Client point to widget point.
inline QPoint W(const CPuzzleDlg& dlg, QPoint client)
{
    return client + dlg.ClientOrigin();
}

// Centre of cell (c, r) in client pixels.
inline QPoint CellCentre(const CPuzzleBoard& b, int c, int r)
{
    return {10 + c * b.m_nTileW + b.m_nTileW / 2, 10 + r * b.m_nTileH + b.m_nTileH / 2};
}

inline void ClickClient(CPuzzleDlg& dlg, QPoint client)
{
    QTest::mouseClick(&dlg, Qt::LeftButton, Qt::NoModifier, W(dlg, client));
}

inline int CellValue(const CPuzzleBoard& b, int c, int r)
{
    return static_cast<signed char>(b.m_rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)]);
}

inline QString Text(const CPuzzleDlg& dlg, int id)
{
    return dlg.GetDlgItemText(id);
}

// The shortest list of cells to click that solves the board (the blank's
// path back home), found by iterative deepening. Empty when already solved
// or when no solution of at most maxDepth moves exists.
class Solver {
public:
    explicit Solver(const CPuzzleBoard& b) : m_cols(b.m_nCols), m_rows(b.m_nRows), m_blank(b.m_nBlank)
    {
        for (int r = 0; r < m_rows; ++r) {
            for (int c = 0; c < m_cols; ++c) {
                m_cells.push_back(CellValue(b, c, r));
            }
        }
        m_bc = b.m_nBlankCol;
        m_br = b.m_nBlankRow;
    }

    std::vector<QPoint> Solve(int maxDepth)
    {
        for (int depth = 0; depth <= maxDepth; ++depth) {
            m_path.clear();
            if (Search(depth, -1)) {
                return m_path;
            }
        }
        return {};
    }

private:
    int Distance() const
    {
        int d = 0;
        for (int i = 0; i < static_cast<int>(m_cells.size()); ++i) {
            const int v = m_cells[static_cast<std::size_t>(i)];
            if (v == m_blank) {
                continue;
            }
            d += std::abs(i % m_cols - v % m_cols) + std::abs(i / m_cols - v / m_cols);
        }
        return d;
    }
    bool Search(int budget, int lastDir)
    {
        const int h = Distance();
        if (h == 0) {
            return m_bc == m_cols - 1 && m_br == m_rows - 1;
        }
        if (h > budget) {
            return false;
        }
        static const int dc[4] = {0, 0, -1, 1};
        static const int dr[4] = {-1, 1, 0, 0};
        for (int d = 0; d < 4; ++d) {
            if (lastDir >= 0 && d == (lastDir ^ 1)) {
                continue;
            }
            const int nc = m_bc + dc[d], nr = m_br + dr[d];
            if (nc < 0 || nr < 0 || nc >= m_cols || nr >= m_rows) {
                continue;
            }
            const std::size_t from = static_cast<std::size_t>(m_br * m_cols + m_bc);
            const std::size_t to = static_cast<std::size_t>(nr * m_cols + nc);
            std::swap(m_cells[from], m_cells[to]);
            const int oc = m_bc, orr = m_br;
            m_bc = nc;
            m_br = nr;
            m_path.push_back({nc, nr}); // the tile clicked: where the blank goes
            if (Search(budget - 1, d)) {
                return true;
            }
            m_path.pop_back();
            m_bc = oc;
            m_br = orr;
            std::swap(m_cells[from], m_cells[to]);
        }
        return false;
    }

    int m_cols, m_rows, m_blank;
    std::vector<int> m_cells;
    int m_bc = 0, m_br = 0;
    std::vector<QPoint> m_path;
};

} // namespace gametest
