"""Random faults over the product code: a sample of 36 drawn with seed
20261208 by the first version of draw.py (it walked the files in another
order, so draw.py now draws another sample), from every comparison, logical
operator, true/false, +1/-1 and quoted phrase of the product's .cpp files (the
name tables left out: names.txt holds every name). Seven that could not build
or change nothing were dropped by reading them before the run. Not written by
hand: a check on the hand-written and blind lists. Results in
random1-results.md."""
BLIND = [
    dict(id='rn-00', fault='drop word', file='cli/commandLine.cpp', old='"Record the old and new headers in <FILE> (default: a new file under "', new='"Record the old and new headers in <FILE> (default: a file under "'),
    dict(id='rn-01', fault='>->>=', file='check/headerDatabase.cpp', old='if (lines.size() > shown) {', new='if (lines.size() >= shown) {'),
    dict(id='rn-02', fault='false->true', file='gui/Gui.cpp', old='edit->setEnabled(false);', new='edit->setEnabled(true);'),
    dict(id='rn-03', fault='drop word', file='cart/nesHeader.cpp', old='"probably starts at byte 7"};', new='"probably starts byte 7"};'),
    dict(id='rn-05', fault='false->true', file='gui/Gui.cpp', old='ui->btnApply->setEnabled(false);', new='ui->btnApply->setEnabled(true);'),
    dict(id='rn-06', fault='drop word', file='document/repair.cpp', old='plan.why = "NES 2.0 already";', new='plan.why = "NES 2.0";'),
    dict(id='rn-08', fault='<-><=', file='check/headerDatabase.cpp', old='for (const char* at = from + 1; at < to; ++at) {', new='for (const char* at = from + 1; at <= to; ++at) {'),
    dict(id='rn-10', fault='>=->>', file='document/repair.cpp', old="[](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; });", new="[](char c) { return c > 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; });"),
    dict(id='rn-11', fault='==->!=', file='check/imageCheck.cpp', old='while (from < 15 && bytes[from] == 0) {', new='while (from < 15 && bytes[from] != 0) {'),
    dict(id='rn-12', fault='drop word', file='cli/imageFile.cpp', old='{"prgCrc32", "PRG-ROM CRC-32", &Hashes::prgCrc32},', new='{"prgCrc32", "PRG-ROM", &Hashes::prgCrc32},'),
    dict(id='rn-13', fault='drop word', file='cli/commandLine.cpp', old='static const QCommandLineOption help(QStringList{"h", "help"}, "Show this help.");', new='static const QCommandLineOption help(QStringList{"h", "help"}, "Show help.");'),
    dict(id='rn-14', fault='==->!=', file='cli/commandLine.cpp', old='[&name](const Subcommand& c) { return name == c.name; });', new='[&name](const Subcommand& c) { return name != c.name; });'),
    dict(id='rn-15', fault='==->!=', file='cli/imageFile.cpp', old='[kind](const KindJson& format) { return format.kind == kind; });', new='[kind](const KindJson& format) { return format.kind != kind; });'),
    dict(id='rn-16', fault='!=->==', file='gui/Gui.cpp', old='font.setBold(document != nullptr && (*header)[index] != document->base().bytes()[index]);', new='font.setBold(document == nullptr && (*header)[index] != document->base().bytes()[index]);'),
    dict(id='rn-17', fault='true->false', file='gui/Gui.cpp', old='box->setEnabled(true);', new='box->setEnabled(false);'),
    dict(id='rn-19', fault='!=->==', file='check/imageCheck.cpp', old='if (!header.battery() || header.prgNvramBytes() != 0 || header.chrNvramBytes() != 0) {', new='if (!header.battery() || header.prgNvramBytes() == 0 || header.chrNvramBytes() != 0) {'),
    dict(id='rn-21', fault='!=->==', file='document/repair.cpp', old='for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {', new='for (auto entry = entries.rbegin(); entry == entries.rend(); ++entry) {'),
    dict(id='rn-22', fault='==->!=', file='cli/commands.cpp', old='if (undo.kind == UndoResult::restored) {', new='if (undo.kind != UndoResult::restored) {'),
    dict(id='rn-24', fault='&&->||', file='document/repair.cpp', old='if (failure == 0 && ::fsync(out.get()) != 0) {', new='if (failure == 0 || ::fsync(out.get()) != 0) {'),
    dict(id='rn-25', fault='false->true', file='document/repair.cpp', old='"not in the database", false},', new='"not in the database", true},'),
    dict(id='rn-26', fault='false->true', file='cart/nesHeader.cpp', old='{"chrRomBytes", "CHR-ROM size", FieldKind::size, false, bytesOf({5, 9}),', new='{"chrRomBytes", "CHR-ROM size", FieldKind::size, true, bytesOf({5, 9}),'),
    dict(id='rn-28', fault='drop word', file='cli/commandLine.cpp', old='{{"JOURNAL", "JOURNAL", "The journal the fix wrote."}},', new='{{"JOURNAL", "JOURNAL", "The journal the fix"}},'),
    dict(id='rn-29', fault='drop word', file='check/imageCheck.cpp', old='"the file ends with a " + number(extra) +', new='"the file ends with a" + number(extra) +'),
    dict(id='rn-30', fault='&&->||', file='document/imageDocument.cpp', old='open(strm != nullptr && !strm->isWritable() ? Access::readOnly : Access::update);', new='open(strm != nullptr || !strm->isWritable() ? Access::readOnly : Access::update);'),
    dict(id='rn-31', fault='!=->==', file='check/headerDatabase.cpp', old='if (internalSubset != 0) {', new='if (internalSubset == 0) {'),
    dict(id='rn-32', fault='>->>=', file='gui/Collection.cpp', old='toWrite > 0);', new='toWrite >= 0);'),
    dict(id='rn-33', fault='>->>=', file='check/imageCheck.cpp', old='size < fileSize ? Range{0, 0} : Range{size > titleBytes ? size - titleBytes : 0, size};', new='size < fileSize ? Range{0, 0} : Range{size >= titleBytes ? size - titleBytes : 0, size};'),
    dict(id='rn-34', fault='>->>=', file='cart/nesHeader.cpp', old='if (value > (UINT64_MAX - digit) / 10) {', new='if (value >= (UINT64_MAX - digit) / 10) {'),
    dict(id='rn-35', fault='&&->||', file='gui/Collection.cpp', old='(wanted == differing && row.match == Match::differs) ||', new='(wanted == differing || row.match == Match::differs) ||'),
]
