// SPDX-License-Identifier: GPL-3.0-or-later
// Notes of the report documents a running program has open, kept under
// $XDG_STATE_HOME/heatx (~/.local/state/heatx), so that a report left
// unfinished by a program that was killed (SIGKILL, a power cut) is finished
// at the next start: its text copy holds every printed line, and the PDF is
// made from it then.
//
// A note is a small file written whole and synced when the text copy is
// claimed, and removed when the document is saved. Its program holds a lock
// on it (flock) as long as it runs; a note nobody holds belongs to a program
// that is gone. Qt Core and POSIX only.
#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

namespace heatx {

// $XDG_STATE_HOME/heatx, or ~/.local/state/heatx.
QString ReportNotesFolder();

// The note of one open document, held locked while the object lives.
class ReportNote {
public:
    ReportNote() = default;
    ~ReportNote();
    ReportNote(ReportNote&& other) noexcept;
    ReportNote& operator=(ReportNote&& other) noexcept;
    ReportNote(const ReportNote&) = delete;
    ReportNote& operator=(const ReportNote&) = delete;

    // Writes the note whole (a new one, or in place of the last), synced and
    // locked. False when the folder cannot be written; the report itself does
    // not depend on it.
    bool Write(const QByteArray& content);
    // The document is saved: the note goes.
    void Remove();
    bool IsOpen() const { return fd_ >= 0; }

    const QString& Path() const { return path_; }

private:
    friend std::vector<struct LeftNote> TakeLeftNotes();
    QString path_;
    int fd_ = -1;
};

// A note whose program is gone, taken over (locked) by this one.
struct LeftNote {
    ReportNote note;
    QByteArray content;  // at most 1 MB
};

// Takes over every note no running program holds.
std::vector<LeftNote> TakeLeftNotes();

}  // namespace heatx
