#pragma once

#include <functional>

#include <initializer_list>
#include <string>
#include <vector>

#include <memory>
#include "music/score.h"
#include "music/track_walk.h"
#include "records/qe_document.h"

#include <ostream>

namespace qe {

void PrintTo(const PlacedNoteExtra& e, std::ostream* out);
// Notes print as their two words, so that a failing comparison of tracks reads.
inline void PrintTo(const note& n, std::ostream* out) {
    *out << std::hex << "0x" << n.code << "/" << n.value << std::dec;
}
}  // namespace qe

namespace qe::test {

// A compact text for note tracks in tests, one token per item, separated by spaces:
//   digits 0-7 with an optional accidental in front (# sharp, x double sharp, b flat,
//   B double flat, n natural) and after it ' for each octave up, , for each octave down and
//   _ for each underline; - dash, . augmentation dot, v breath mark, ( and ) parentheses;
//   bar lines | (type 0), |1, || (2), |: (3), :| (4), |. (dashed, 5), |] (final, 6), / (hidden, 7).
// Throws std::invalid_argument for anything else.
std::vector<note> parseTrack(const std::string& text);
// The same text as the score's items (digits, rests, marks and bar lines).
std::vector<music::Item> itemsOf(const std::string& text);

// The text of a note track in the same notation; records the editor skips are written "?".
// parseTrack(formatTrack(records)) == records for every track parseTrack can write.
std::string formatTrack(const std::vector<note>& records);

// A document with one note track per text and the default settings.
QeDocument scoreOf(std::initializer_list<std::string> tracks,
                   const std::u16string& title = u"Test");
QeDocument scoreOfTracks(const std::vector<std::string>& tracks,
                         const std::u16string& title = u"Test");

// A document as scoreOf makes it, whose texts may also carry ties and volta brackets: ~ right
// after a note ties it to the next note; { before a measure starts a bracket there, and } after
// a bar line ends it at the measure that bar line closes.
QeDocument scoreWithShapes(std::initializer_list<std::string> tracks,
                           const std::u16string& title = u"Test");

// A score loaded from a document's records, as opening its file would.
std::unique_ptr<music::Score> scoreFrom(const QeDocument& doc);
// The walks of that score's tracks.
std::vector<music::TrackWalk> walkRecords(const QeDocument& doc);
// One track of records as a score holds it, and its walk in one key.
music::Track trackOf(const std::vector<note>& records);
music::TrackWalk walkText(const std::string& text, const music::Key& key = {});

// Changes what a record of a track carries beyond its digit (the document's note extras stay
// in record order).
void changeExtra(QeDocument& doc, int track, int record, const std::function<void(NoteExtra&)>& change);
// Makes the digits and rests among records first..last of a track a tuplet of `actual` in the
// time of `normal`, at `level` (1 for a group nested in another).
void addTuplet(QeDocument& doc, int track, int first, int last, int actual, int normal,
               int level = 0);

// Adds an arc (type 1) or jump line (type 4) between two items of a track.
void addFormat(QeDocument& doc, int type, int track, int fromItem, int toItem);

}  // namespace qe::test
