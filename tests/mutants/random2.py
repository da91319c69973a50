"""A second random sample: 34 faults drawn by ``python3 tests/mutants/draw.py 2 34``
after the tenth blind list's first run and the tests for its misses. Four were
dropped by reading them before the run: rn-04 and rn-29 cannot build (GCC's
-Wparentheses), rn-23 and rn-31 change nothing (descriptor 0 is never a
file's here; one more thread prints in the same order). Results in
random2-results.md."""
BLIND = [
    dict(id='rn-00', fault='drop word', file='cart/nesHeader.cpp', old='return std::string(what) + " of " + number(bytes) + " bytes cannot be stored: NES 2.0 " +', new='return std::string(what) + "of " + number(bytes) + " bytes cannot be stored: NES 2.0 " +'),
    dict(id='rn-01', fault='==->!=', file='cart/nesHeader.cpp', old='if (bytes == 0) {', new='if (bytes != 0) {'),
    dict(id='rn-02', fault='==->!=', file='cart/nesHeader.cpp', old='if (key == field.key) {', new='if (key != field.key) {'),
    dict(id='rn-03', fault='==->!=', file='cli/commandLine.cpp', old="if (arg.startsWith('-') && bare == unknown.front()) {", new="if (arg.startsWith('-') && bare != unknown.front()) {"),
    dict(id='rn-05', fault='>=->>', file='check/headerDatabase.cpp', old='if (value >= 0) {', new='if (value > 0) {'),
    dict(id='rn-06', fault='false->true', file='gui/Gui.cpp', old='FitWindow(false);', new='FitWindow(true);'),
    dict(id='rn-07', fault='&&->||', file='gui/Platform.cpp', old='if (!text.isEmpty() && !(text.size() > 1 && text[1].isUpper())) {', new='if (!text.isEmpty() || !(text.size() > 1 && text[1].isUpper())) {'),
    dict(id='rn-08', fault='||->&&', file='gui/CheckArea.cpp', old='if (document == nullptr || document->entry() == nullptr) {', new='if (document == nullptr && document->entry() == nullptr) {'),
    dict(id='rn-09', fault='<-><=', file='check/imageCheck.cpp', old='if (from < to) {', new='if (from <= to) {'),
    dict(id='rn-10', fault='==->!=', file='check/imageCheck.cpp', old='} else if (verdict.format == HeaderFormat::archaic) {', new='} else if (verdict.format != HeaderFormat::archaic) {'),
    dict(id='rn-11', fault='==->!=', file='document/repair.cpp', old='if (now->old == entry.old) {', new='if (now->old != entry.old) {'),
    dict(id='rn-12', fault='>=->>', file='check/imageCheck.cpp', old='if ((extra == titleBytes || extra == titleBytes - 1) && tail.size() >= extra &&', new='if ((extra == titleBytes || extra == titleBytes - 1) && tail.size() > extra &&'),
    dict(id='rn-13', fault='false->true', file='document/repair.cpp', old='const WriteResult result = document.save(false, dryRun);', new='const WriteResult result = document.save(true, dryRun);'),
    dict(id='rn-14', fault='==->!=', file='cart/nesHeader.cpp', old='if (mark == nes2Mark) {', new='if (mark != nes2Mark) {'),
    dict(id='rn-15', fault='!=->==', file='document/repair.cpp', old="} else if (home != nullptr && home[0] == '/') {", new="} else if (home == nullptr && home[0] == '/') {"),
    dict(id='rn-16', fault='==->!=', file='gui/Collection.cpp', old='row.match = database == nullptr              ? Match::noDatabase', new='row.match = database != nullptr              ? Match::noDatabase'),
    dict(id='rn-17', fault='>->>=', file='check/headerDatabase.cpp', old='wrong = number > (UINT64_MAX - digit) / 10 ? "is out of range" : "";', new='wrong = number >= (UINT64_MAX - digit) / 10 ? "is out of range" : "";'),
    dict(id='rn-18', fault='==->!=', file='cli/commands.cpp', old='text += (result == RepairOutcome::fixed ? "  old " + hexOf(plan.old, true) + "\\n"', new='text += (result != RepairOutcome::fixed ? "  old " + hexOf(plan.old, true) + "\\n"'),
    dict(id='rn-19', fault='drop word', file='gui/CheckArea.cpp', old='new QAction(QStringLiteral("&Copy the Database\'s Header Bytes"), ui->tblDatabase);', new='new QAction(QStringLiteral("the Database\'s Header Bytes"), ui->tblDatabase);'),
    dict(id='rn-20', fault='!=->==', file='cli/commands.cpp', old='plan.toNes2 = *nes2 != 0;', new='plan.toNes2 = *nes2 == 0;'),
    dict(id='rn-21', fault='>->>=', file='gui/Platform.cpp', old=': desktop.pixelSize() > 0 ? desktop.pixelSize() * 72.0 / 96.0', new=': desktop.pixelSize() >= 0 ? desktop.pixelSize() * 72.0 / 96.0'),
    dict(id='rn-22', fault='drop word', file='gui/Collection.cpp', old='QStringLiteral("Undo Last Repair"), platform::Buttons::ok);', new='QStringLiteral("Undo Repair"), platform::Buttons::ok);'),
    dict(id='rn-24', fault='==->!=', file='cli/commandLine.cpp', old='if (command == nullptr) {', new='if (command != nullptr) {'),
    dict(id='rn-25', fault='drop word', file='document/repair.cpp', old='plan.why = "NES 2.0 already";', new='plan.why = "2.0 already";'),
    dict(id='rn-26', fault='drop word', file='cli/imageFile.cpp', old='{"bodyCrc32", "Body CRC-32", &Hashes::bodyCrc32},', new='{"bodyCrc32", "CRC-32", &Hashes::bodyCrc32},'),
    dict(id='rn-27', fault='<-><=', file='document/imageDocument.cpp', old='problemText_ = size < headerBytes ? *why : "not an iNES image: " + *why;', new='problemText_ = size <= headerBytes ? *why : "not an iNES image: " + *why;'),
    dict(id='rn-28', fault='drop word', file='check/imageCheck.cpp', old='"CHR-RAM, the header must state it",', new='"CHR-RAM, the header must it",'),
    dict(id='rn-30', fault='==->!=', file='cli/commandLine.cpp', old='<< (command.run == runSet ? setFieldsHelp() : "") << exitCodes;', new='<< (command.run != runSet ? setFieldsHelp() : "") << exitCodes;'),
    dict(id='rn-32', fault='<-><=', file='check/imageCheck.cpp', old='if (got < 0 && errno == EINTR) {', new='if (got <= 0 && errno == EINTR) {'),
    dict(id='rn-33', fault='&&->||', file='cli/commands.cpp', old="[](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; });", new="[](char c) { return c >= 'A' || c <= 'Z' ? char(c - 'A' + 'a') : c; });"),
]
