#!/usr/bin/env python3
# Checks the golden outputs by means independent of Tallowick: the header
# fields with a decoder written from the format's byte tables, the hashes
# with Python's zlib and hashlib over the byte ranges the format defines,
# the header database's entries with Python's own XML parser.
# Run from the repository's root:  python3 tests/data/golden/check-golden.py
# The check outputs and the text lines are read by hand (CHECKED.md).
import glob, hashlib, json, os, re, shutil, sys, tempfile, zlib
import xml.etree.ElementTree as ElementTree

here = os.path.dirname(os.path.abspath(__file__))
folder = tempfile.mkdtemp()
for name in os.listdir('samples'):
    if name.endswith('.nes'):
        shutil.copy(os.path.join('samples', name), folder)
for line in open(os.path.join(here, 'images.txt')):
    if line.strip() and not line.startswith('#'):
        name, hexText, payload, padding, *tail = line.split()
        data = bytes.fromhex(hexText) + bytes((i * 7 + 3) & 0xFF for i in range(int(payload)))
        open(os.path.join(folder, name), 'wb').write(data + b'\xff' * int(padding) + bytes.fromhex(''.join(tail)))

def decode(h):
    nes2 = h[7] & 0x0C == 0x08
    def rom(lsb, msb, unit):
        if nes2 and msb == 0xF:
            size = 2 ** (lsb >> 2) * ((lsb & 3) * 2 + 1)
            return size if size < 2 ** 64 - 1 else None  # past what 64 bits count: null
        return ((msb << 8 if nes2 else 0) | lsb) * unit
    ram = lambda n: (0 if n == 0 else 64 << n) if nes2 else None
    only2 = lambda v: v if nes2 else None
    return nes2, {
        'mapper': ((h[8] & 0x0F) << 8 if nes2 else 0) | (h[7] & 0xF0) | h[6] >> 4,
        'submapper': only2(h[8] >> 4),
        'prgRomBytes': rom(h[4], h[9] & 0x0F, 16384), 'chrRomBytes': rom(h[5], h[9] >> 4, 8192),
        'mirroring': 'vertical' if h[6] & 1 else 'horizontal', 'battery': bool(h[6] & 2),
        'trainer': bool(h[6] & 4), 'fourScreen': bool(h[6] & 8), 'consoleType': h[7] & 3,
        'prgRamBytes': ram(h[10] & 15), 'prgNvramBytes': ram(h[10] >> 4),
        'chrRamBytes': ram(h[11] & 15), 'chrNvramBytes': ram(h[11] >> 4),
        'timing': only2(h[12] & 3), 'vsPpu': only2(h[13] & 15), 'vsHardware': only2(h[13] >> 4),
        'extendedConsole': only2(h[13] & 15), 'miscRoms': only2(h[14] & 3),
        'expansion': only2(h[15] & 0x7F)}

def formatName(h):
    mark = h[7] & 0x0C
    return {8: 'NES 2.0', 4: 'archaic iNES'}.get(mark) or (
        'iNES 1.0' if mark == 0 and not any(h[12:16]) else 'iNES 0.7')

def hashes(data, begin, end):
    part = data[begin:min(end, len(data))]
    if not part:
        return None, None
    return '%08X' % zlib.crc32(part), hashlib.sha1(part).hexdigest().upper()

# "1 error, 2 warnings, 1 note" from the severities found, or "".
def tallyOf(severities):
    severities = [s.replace('info', 'note') for s in severities]
    return ', '.join('%d %s%s' % (severities.count(k), k, 's' if severities.count(k) > 1 else '')
                     for k in ('error', 'warning', 'note') if k in severities)

def sizeText(n):
    if n is None:
        return 'more than 16 EiB'
    if n == 0:
        return 'none'
    for unit, word in ((1 << 60, 'EiB'), (1 << 40, 'TiB'), (1 << 30, 'GiB'), (1 << 20, 'MiB'),
                       (1024, 'KiB')):
        if n % unit == 0:
            return '%d %s' % (n // unit, word)
    return '%d bytes' % n

failures = []
def expect(what, got, want):
    if got != want:
        failures.append('%s: %r, expected %r' % (what, got, want))

# The sample database's entries by the CRC-32 and SHA-1 of their ROM (the
# data after the header and trainer), as the fields of `info --json`.
def entryFields(game):
    def attribute(tag, name, default=0):
        element = game.find(tag)
        return default if element is None else int(element.get(name, default))
    pcb, console = game.find('pcb'), game.find('console')
    kind = int(console.get('type'))
    letter = pcb.get('mirroring')
    comment = next((child.text for child in game if child.tag is ElementTree.Comment), '')
    return {'name': comment.strip(), 'mapper': int(pcb.get('mapper')),
            'submapper': int(pcb.get('submapper', 0)),
            'prgRomBytes': attribute('prgrom', 'size'), 'chrRomBytes': attribute('chrrom', 'size'),
            'mirroring': 'vertical' if letter == 'V' else 'horizontal', 'fourScreen': letter == '4',
            'battery': pcb.get('battery') == '1', 'trainer': game.find('trainer') is not None,
            'consoleType': min(kind, 3), 'prgRamBytes': attribute('prgram', 'size'),
            'prgNvramBytes': attribute('prgnvram', 'size'), 'chrRamBytes': attribute('chrram', 'size'),
            'chrNvramBytes': attribute('chrnvram', 'size'), 'timing': int(console.get('region')),
            'vsPpu': attribute('vs', 'ppu'), 'vsHardware': attribute('vs', 'hardware'),
            'extendedConsole': attribute('vs', 'ppu') if kind == 1 else kind if kind > 3 else 0,
            'miscRoms': attribute('miscrom', 'number', 1 if game.find('miscrom') is not None else 0),
            'expansion': attribute('expansion', 'type')}

parser = ElementTree.XMLParser(target=ElementTree.TreeBuilder(insert_comments=True))
games = ElementTree.parse('samples/nes20db-samples.xml', parser).getroot().iter('game')
entries = {}
for game in games:
    rom = game.find('rom')
    entries[(rom.get('crc32'), rom.get('sha1'))] = entryFields(game)

infos = {}
databaseRuns = 0
for line in open(os.path.join(here, 'info-json.txt')):
    if line.startswith('$ '):
        databaseRun = '--db samples/nes20db-samples.xml' in line
        databaseRuns += databaseRun
    if not line.startswith('{'):
        continue
    item = json.loads(line)
    if databaseRun and 'header' in item:
        expect(item['path'] + ' database', item['database'],
               entries.get((item['bodyCrc32'], item['bodySha1'])))
    path = item['path'].replace('@', folder)
    data = open(path, 'rb').read()
    if 'header' not in item:
        expect(path + ' not iNES', data[:4] == b'NES\x1a', False)
        continue
    h = bytes.fromhex(item['header'])
    expect(path + ' header', h, data[:16])
    nes2, fields = decode(h)
    expect(path + ' format', item['format'], formatName(h))
    for key, value in fields.items():
        expect(path + ' ' + key, item[key], value)
    prg = 16 + (512 if h[6] & 4 else 0)
    if None in (fields['prgRomBytes'], fields['chrRomBytes']) or (
            prg + fields['prgRomBytes'] + fields['chrRomBytes'] >= 2 ** 64 - 1):
        expect(path + ' expectedSize', item['expectedSize'], None)
        continue  # no part can be placed
    chr_ = prg + fields['prgRomBytes']
    expect(path + ' expectedSize', item['expectedSize'], chr_ + fields['chrRomBytes'])
    expect(path + ' fileSize', item['fileSize'], len(data))
    for key, begin, end in (('rom', 16, len(data)), ('body', prg, len(data)),
                            ('prg', prg, chr_), ('chr', chr_, chr_ + fields['chrRomBytes'])):
        expect(path + ' ' + key, (item[key + 'Crc32'], item[key + 'Sha1']), hashes(data, begin, end))
    expect(path + ' file', item['fileCrc32'], hashes(data, 0, len(data))[0])
    infos[item['path']] = (item, fields)

# The text: the same header, sizes and hashes as the JSON, "-" where it has null.
labels = {'PRG-ROM size': 'prgRomBytes', 'CHR-ROM size': 'chrRomBytes', 'PRG-RAM': 'prgRamBytes',
          'PRG-NVRAM': 'prgNvramBytes', 'CHR-RAM': 'chrRamBytes', 'CHR-NVRAM': 'chrNvramBytes',
          'Submapper': 'submapper', 'Timing': 'timing', 'Misc ROMs': 'miscRoms',
          'Expected size': 'expectedSize', 'File size': 'fileSize', 'Mapper': 'mapper'}
hashLabels = {'ROM': 'rom', 'PRG-ROM': 'prg', 'CHR-ROM': 'chr', 'Body': 'body', 'File': 'file'}
blocks = 0
for block in open(os.path.join(here, 'info.txt')).read().split('\n\n'):
    lines = [l for l in block.split('\n') if l and not l.startswith(('$', 'exit'))]
    if not lines or lines[0] not in infos:
        continue
    blocks += 1
    item, fields = infos[lines[0]]
    for line in lines[1:]:
        label, value = line[2:20].strip(), line[20:]
        if label == 'Header':
            expect(lines[0] + ' header', value.replace(' ', ''), item['header'])
        elif label in labels:
            want = item[labels[label]]
            text = ('more than 16 EiB' if want is None and label.endswith('ROM size') else
                    '-' if want is None else
                    sizeText(want) if label.endswith(('size', 'RAM')) and 'Expected' not in label
                    and 'File' not in label else str(want))
            if label in ('Expected size', 'File size'):
                text = 'more than 16 EiB' if want is None else '%d bytes' % want
            expect(lines[0] + ' ' + label, value.split(':')[0], text)
        elif label.rsplit(' ', 1)[0] in hashLabels:
            part, kind = label.rsplit(' ', 1)
            want = item[hashLabels[part] + ('Crc32' if kind == 'CRC-32' else 'Sha1')]
            expect(lines[0] + ' ' + label, value, want or '-')
expect('text blocks', blocks, len(infos))
expect('runs with the database', databaseRuns, 1)

# set --dry-run: each new header against the old one, field by field.
runs = open(os.path.join(here, 'set-dry-run.txt')).read().split('\n$ ')
pairs = [re.findall(r'old ([0-9A-F ]+)\n  new ([0-9A-F ]+)', run) for run in runs]
for number, found in enumerate(pairs):
    for oldText, newText in found:
        old, new = bytes.fromhex(oldText), bytes.fromhex(newText)
        was2, before = decode(old)
        is2, after = decode(new)
        want = dict(before)
        if number == 0:
            want.update(mapper=300, timing=2)
        else:
            if not was2:  # the NES 2.0 form an iNES header implies
                junk = formatName(old) != 'iNES 1.0'
                battery = bool(old[6] & 2)
                want.update(mapper=old[6] >> 4 if junk else want['mapper'],
                            consoleType=0 if junk else want['consoleType'], submapper=0,
                            prgRamBytes=0 if battery else 8192, prgNvramBytes=8192 if battery else 0,
                            chrRamBytes=8192 if old[5] == 0 else 0, chrNvramBytes=0, timing=0,
                            vsPpu=0, vsHardware=0, extendedConsole=0, miscRoms=0, expansion=0)
            want.update(mirroring='vertical', battery=False)
        expect(newText, after, want)
expect('dry runs', [len(found) for found in pairs], [41, 79])

# window.txt: what the window shows after loading each image, against the
# decoder, the hashes, the JSON's findings and database entries; the
# collection's rows against the JSON, its orders re-sorted here, its filters.
def implied(old):  # the NES 2.0 header an iNES one converts to, decoded
    junk, battery = formatName(old) != 'iNES 1.0', bool(old[6] & 2)
    want = dict(decode(old)[1])
    want.update(mapper=old[6] >> 4 if junk else want['mapper'],
                consoleType=0 if junk else want['consoleType'], submapper=0,
                prgRamBytes=0 if battery else 8192, prgNvramBytes=8192 if battery else 0,
                chrRamBytes=8192 if old[5] == 0 else 0, chrNvramBytes=0, timing=0,
                vsPpu=0, vsHardware=0, extendedConsole=0, miscRoms=0, expansion=0)
    return want

named = re.compile(r'^((?:title|txt|cmb|chk|btn|lbl|lst|tbl|sgd|mem|stb|Label|mnu)\w*)((?: \((?:disabled|hidden)\))*): ?(.*)$')
withDatabase = {item['path']: item for item in map(json.loads, (
    l for l in open(os.path.join(here, 'info-json.txt')).read().split('--db samples/', 1)[1]
    .splitlines() if l.startswith('{')))}
text = open(os.path.join(here, 'window.txt')).read()
images, collection = text.split('\n== the collection\n')
first, cleaned, loads = None, {}, 0
for block in images.split('== ')[1:]:  # entries as the first image's are left out
    name, *lines = block.rstrip('\n').split('\n')
    said, key, state = [], None, dict(first or {})
    for line in lines:
        match = named.match(line)
        if match:
            key = match.group(1)
            state[key] = [match.group(3), match.group(2)]
        elif line.startswith('  ') and key:
            state[key].append(line[2:])
        else:
            said.append(line)
    first = first or state
    if any(l.startswith('Error') for l in said):
        continue
    loads += 1
    where = '@/' + name + ' window'
    data = bytearray(open(os.path.join(folder, name), 'rb').read())
    if any('removed from bytes 8-15' in l for l in said):
        data[8:16] = bytes(8)
        cleaned[name] = True
    h = bytes(data[:16])
    cells = [c for row in state['sgdHeader'][2:4] for c in row.split(' | ')[1:] if c != '-']
    expect(where + ' grid', bytes.fromhex(''.join(cells)), h)
    expect(where + ' copy', state['sgdHeader'][4], '&Copy Header Bytes -> ' + h.hex(' ').upper())
    nes2, f = decode(h)
    shown = {k: v[0] for k, v in state.items()}
    checks = [('txtMapperNum', str(f['mapper'])), ('txtFormat', formatName(h)),
              ('cmbMirroring', f['mirroring'].capitalize() + ' (2 items)')]
    checks += [(box, '%s [%s]' % (shown[box].rsplit(' [', 1)[0], 'x' if f[k] else ' '))
               for box, k in (('chk4ScreenMirroring', 'fourScreen'), ('chkSRAM', 'battery'),
                              ('chkTrainer', 'trainer'))]
    for box, k in (('txtPrgMem', 'prgRomBytes'), ('txtChrMem', 'chrRomBytes')):
        expect(where + ' ' + box, shown[box].endswith('(%d bytes)' % f[k]) if f[k] is not None
               else shown[box] == 'too large to hold', True)
    if nes2:
        checks += [('txtSubmapper', str(f['submapper'])), ('txtMiscRoms', str(f['miscRoms'])),
                   ('txtPrgRomSize', str(2 ** 64 - 1 if f['prgRomBytes'] is None else f['prgRomBytes'])), ('txtChrRomSize', str(f['chrRomBytes']))]
        for box, k in (('cmbPrgRam', 'prgRamBytes'), ('cmbPrgNvram', 'prgNvramBytes'),
                       ('cmbChrRam', 'chrRamBytes'), ('cmbChrNvram', 'chrNvramBytes')):
            want = 'none' if f[k] == 0 else '%s (%d bytes)' % (sizeText(f[k]), f[k])
            checks.append((box, want + ' (16 items)'))
        prefixes = [('cmbConsoleType', '%d:' % f['consoleType']), ('cmbTiming', '%d:' % f['timing']),
                    ('cmbExpansion', '$%X:' % f['expansion'])]
        prefixes += {1: [('cmbVsPpu', '$%X:' % f['vsPpu']), ('cmbVsHardware', '$%X:' % f['vsHardware'])],
                     3: [('cmbExtConsole', '$%X:' % f['extendedConsole'])]}.get(f['consoleType'], [])
        for box, prefix in prefixes:
            expect(where + ' ' + box, shown[box].startswith(prefix), True)
    for box, want in checks:
        expect(where + ' ' + box, shown[box], want)
    prg = 16 + (512 if h[6] & 4 else 0)
    chr_ = prg + (f['prgRomBytes'] or 2 ** 64) if f['prgRomBytes'] != 0 else prg
    parts = {'Whole file': (0, len(data)), 'ROM': (16, len(data)), 'PRG-ROM': (prg, chr_),
             'CHR-ROM': (chr_, chr_ + (f['chrRomBytes'] if f['chrRomBytes'] is not None else 2 ** 64)),
             'No trainer': (prg, len(data))}
    for line in state['txtHashes'][2:]:
        words = re.match(r'(\S.*?)\s+CRC-32 (\w+)(?:  SHA-1 (\w+))?$', line)
        copied = re.match(r'Copy (.*) (\w+) -> (\w*)$', line)
        if words:
            crc, sha1 = hashes(data, *parts[words.group(1)])
            expect(where + ' ' + words.group(1), (words.group(2), words.group(3)),
                   (crc, sha1 if words.group(3) else None))
        elif copied:
            expect(where + ' ' + line, copied.group(2), copied.group(3))
    item = withDatabase['@/' + name]
    rows = [r.split(' | ') for r in state['lstFindings'][2:] if not r.startswith('  fix:')]
    problems = [(p['severity'], p['message'].lower()) for p in item['problems']
                if not p['id'].startswith('database-')]
    tally = tallyOf(r[0].lower() for r in rows if r[0]) or 'all well'
    expect(where + ' status', shown['stbStatus'], formatName(h) + ': ' + tally)
    expect(where + ' title', shown['title'], name + '[*]')
    labels = [re.search(r'\[(.*)\]( \(disabled\))?$', r).group(1)
              for r in state['lstFindings'][2:] if r.startswith('  fix:')]
    if name not in cleaned:
        expect(where + ' findings', [(s.lower(), m.lower()) for s, m in rows if s],
               [(s.replace('info', 'note'), m) for s, m in problems])
        expect(where + ' fixes', [l for l, (s, m) in zip(labels, rows) if s],
               [p.get('fix', 'Take the Fi&x') for p in item['problems']
                if not p['id'].startswith('database-')])
    entry = item.get('database')
    fields = [r for r in state['tblDatabase'][2:] if ' -> ' not in r]
    expect(where + ' database rows', len(fields), 20 if entry else 0)
    if entry:
        header = fields[-1].split(' | ')
        expect(where + ' file bytes', header[1].replace(' ', ''), h.hex().upper())
        new = bytes.fromhex(header[2])
        got = decode(new)[1]
        expect(where + ' entry', {k: got[k] for k in got if k in entry}, 
               {k: entry[k] for k in got if k in entry})
expect('window loads', loads, len([i for i in withDatabase.values() if 'error' not in i]))

# Every list's entries: in code order, each name the reference's table's
# (most of its words, every word with a digit), "Reserved" where it says
# reserved, "Unknown ($NN)" past its end; the RAM sizes 64 << n.
referencePath = os.path.join(here, '..', '..', '..', '..', 'shared', 'nes-header-reference.md')
reference = open(referencePath).read() if os.path.exists(referencePath) else None
def referenceTable(title):
    rows = {}
    for line in reference.split(title, 1)[1].split('\n#', 1)[0].splitlines():
        match = re.match(r'\| \$?([0-9A-F]+)(?:-\$?([0-9A-F]+))? \| (.*?) \|', line)
        for code in range(int(match.group(1), 16), int(match.group(2) or match.group(1), 16) + 1) if match else ():
            rows[code] = match.group(3)
    return rows
nameWords = lambda text: [w for w in re.split(r'[\s/,()"]+', text.lower().replace('a.k.a.', '')) if w]
byHand = {'$31: Standard Controller, swapped L-R/U-D/B-A'}  # the reference's words, shortened
for box, title in (('cmbConsoleType', '### 2.4'), ('cmbTiming', '### 2.6'), ('cmbVsPpu', '### 2.7'),
                   ('cmbVsHardware', '### 2.8'), ('cmbExtConsole', '### 2.9'), ('cmbExpansion', '### 2.11')):
    items = re.search(box + r' items: (.*)', images).group(1).split(' | ')
    rows = referenceTable(title) if reference else {}
    for code, item in enumerate(items):
        shown, name = item.split(': ', 1)
        expect(box + ' code', int(shown.lstrip('$'), 16), code)
        mine, theirs = nameWords(name), nameWords(rows.get(code, ''))
        fits = (name == 'Unknown ($%02X)' % code if code not in rows else
                name.startswith('Reserved') if theirs[:1] == ['reserved'] else
                all(w in theirs for w in mine if re.search(r'\d', w)) and
                sum(w in theirs for w in mine) >= 0.75 * len(mine))
        expect(box + ' ' + item, fits or not reference or item in byHand, True)
for box in ('cmbPrgRam', 'cmbPrgNvram', 'cmbChrRam', 'cmbChrNvram'):
    items = re.search(box + r' items: (.*)', images).group(1).split(' | ')
    expect(box, items, ['none'] + ['%d bytes' % (64 << n) if n < 4 else '%s (%d bytes)' % (sizeText(64 << n), 64 << n)
                                   for n in range(1, 16)])

# names.txt: mappers 0-255 as the original catalogue names them (its table
# of quoted names), the others the reference's lists name (sections 5 and 5b:
# each word with a digit or two capitals is the reference's); every submapper
# the reference's section 4 lists, with its words, marked deprecated where it
# says so, and rule R17's advice.
# The catalogue's quoted names: the shared notes' table of "| 0 | "NROM" |" rows.
quotedNames = lambda text: {int(n): name for n, name in re.findall(r'^\| (\d+) \| "(.*)" \|$', text, re.M)}
catalogue = {}
for notes in glob.glob(os.path.join(os.path.dirname(referencePath), '*.md')):
    catalogue = catalogue or quotedNames(open(notes).read())
if reference and catalogue:
    section = lambda title: reference.split(title, 1)[1].split('\n## ', 1)[0]
    above255 = {int(n): text for n, text in re.findall(r'^\| (\d{3,4}) \| (.*?) \|', section('## 5. Mapper'), re.M)}
    unnamed = {int(n): name for n, name in re.findall(r'\| (\d+) \| ([^|]+?) (?=\|)', section('## 5b. Names'))}
    subRows = {}
    above = ''
    for mappers, subs, text in re.findall(r'^\| (\d{3}[^|]*?) \| ([^|]+?) \| ([^|]+?) \|', section('## 4. Submappers'), re.M):
        text = above = above + ' ' + text if text.startswith('...') else text  # "... = 1": the row above's words
        for m in re.findall(r'\d{3}', mappers.split(' ')[0]):
            for sub in re.findall(r'\d+', subs) if 'bit' not in subs else range(16):
                subRows.setdefault((int(m), int(sub)), text)
    marks = lambda text: [w for w in re.split(r'[\s/,():]+', text) if re.search(r'\d', w) or len(re.findall('[A-Z]', w)) > 1]
    advice = {(1, 1): 'use submapper 0 with the right RAM sizes', (1, 2): 'use submapper 0 with the right RAM sizes',
              (1, 3): 'use mapper 155', (1, 4): 'use submapper 0 with the right RAM sizes', (16, 1): 'use mapper 159',
              (16, 2): 'use mapper 157', (16, 3): 'use mapper 153', (19, 1): 'use submapper 2 with the battery bit',
              (4, 2): 'use submapper 0'}  # 4:2 is deprecated too (section 4)
    seenMappers, seenSubs, mapper = set(), set(), None
    for line in open(os.path.join(here, 'names.txt')).read().splitlines():
        if not line.startswith(' '):
            number, names = line.split(': ', 1)
            mapper = int(number)
            name, _, other = names.partition(' | ')
            seenMappers.add(mapper)
            if mapper < 256:
                expect('catalogue name %d' % mapper, name, catalogue.get(mapper, 'Unknown'))
                expect('common name %d' % mapper, other or None, unnamed.get(mapper))
            else:
                mine = nameWords(name)
                expect('mapper %d %s' % (mapper, name), [w for w in marks(name) if w not in above255.get(mapper, '')] +
                       [w for w in mine if w not in above255.get(mapper, '').lower()], [])
            continue
        sub, rest = line.strip().split(': ', 1)
        name, _, said = rest.partition(' -> ')
        key = (mapper, int(sub))
        seenSubs.add(key)
        text = subRows.get(key, '')
        if key[0] == 268:
            text = section('## 4. Submappers').split('| 268', 1)[1]
        expect('submapper %s %s' % (key, name), [w for w in marks(name.replace('(deprecated)', '')) if w not in text and w not in ('$6000-$7FFF', '$8000-$FFFF')] if text else 'not in the reference', [])
        expect('submapper %s deprecated' % (key,), 'deprecated' in name, 'eprecated' in text or key == (78, 2))
        expect('submapper %s advice' % (key,), said or None, advice.get(key))
    expect('mappers above 255', sorted(m for m in seenMappers if m > 255), sorted(above255))
    expect('submappers', sorted(seenSubs), sorted(k for k in subRows if k[0] != 268 or k[1] < 12))

collectionLines = collection.split('\n')
heads, *rest = collectionLines[[l.startswith('tblImages:') for l in collectionLines].index(True):]
table = {}
for line in rest:
    if not line.startswith('  '):
        break
    cells = line[2:].split(' | ')
    table[cells[0]] = cells
for name, cells in table.items():
    item = withDatabase['@/' + name]
    if 'header' not in item or name in cleaned:
        continue
    verdict = tallyOf(p['severity'] for p in item['problems']) or 'fine'
    entry, diffs = item.get('database'), [p for p in item['problems'] if p['id'].startswith('database-')]
    want = [name, item['format'], '%d: %s' % (item['mapper'], item['mapperName']),
            sizeText(item['prgRomBytes']), sizeText(item['chrRomBytes']),
            item['mirroring'] if not item['fourScreen'] else 'four-screen',
            'yes' if item['battery'] else 'no', verdict,
            'not found' if not entry else 'differs in %d fields' % len(diffs) if diffs else 'matched']
    expect('collection ' + name, cells, want)
order = list(table)
units = {'bytes': 1, 'KiB': 1 << 10, 'MiB': 1 << 20, 'GiB': 1 << 30, 'TiB': 1 << 40, 'EiB': 1 << 60}
number = lambda text: (2 ** 64 if text.startswith('more') else 0 if text in ('', 'none') else
                       int(text.split()[0]) * units[text.split()[1]])
for line in collection.split('\n'):
    sortedBy = re.match(r'sorted by (\w+): (.*)$', line)
    if sortedBy:
        column = heads.split(' | ').index(sortedBy.group(1).replace('Path', 'tblImages: Path'))
        key = (lambda n: number(table[n][column]) if column in (3, 4) else
               int(table[n][2].split(':')[0] or -1) if column == 2 else table[n][column].lower())
        order = sorted(order, key=key)
        expect(line[:20], sortedBy.group(2).split(', '), order)
    for title, test in (('With errors', lambda c: 'error' in c[7] or not c[1]),
                        ('Differing from the database', lambda c: c[8].startswith('differs')),
                        ('Not in the database', lambda c: c[8] == 'not found')):
        if line.startswith(title + ': '):
            expect(title, sorted(line.split(': ', 1)[1].split(', ')),
                   sorted(n for n in order if test(table[n])))
converted = re.findall(r'\n(\S+)\nold ([0-9A-F ]+)\nnew ([0-9A-F ]+)', collection.split('Convert to NES 2.0 - Preview')[1])
expect('converted', len(converted), 41)
for name, old, new in converted:
    expect('convert ' + name, decode(bytes.fromhex(new))[1], implied(bytes.fromhex(old)))

# usage.txt: info --brief against the JSON; clean --dry-run against the format.
usage = open(os.path.join(here, 'usage.txt')).read()
brief = usage.split('$ info --brief @/*\n')[1].split('\n$ ')[0]
briefs = 0
for line in brief.splitlines():
    match = re.match(r'(@/\S+): (.*)$', line)
    if not match or match.group(1) not in infos:
        continue
    item, fields = infos[match.group(1)]
    verdict = tallyOf(p['severity'] for p in item['problems']  # without the database's
                      if not p['id'].startswith('database-')) or 'fine'
    expect(line, match.group(2), '%s, mapper %d: %s, PRG %s, CHR %s, %s, %s, %s' % (
        item['format'], item['mapper'], item['mapperName'], sizeText(item['prgRomBytes']),
        sizeText(item['chrRomBytes']), 'four-screen' if item['fourScreen'] else item['mirroring'],
        'battery' if item['battery'] else 'no battery', verdict))
    briefs += 1
expect('brief lines', briefs, len(infos))
cleaned = usage.split('$ clean --dry-run @/*\n')[1].split('\n$ ')[0]
for path, words, old, new in re.findall(r'(@/\S+): ([^\n]*)(?:\n  old ([0-9A-F ]+)\n  new ([0-9A-F ]+))?', cleaned):
    if path not in infos:
        continue
    h = bytes.fromhex(infos[path][0]['header'])
    if formatName(h) == 'NES 2.0':
        expect(path + ' clean', words, 'NES 2.0 header, bytes 8-15 hold data: left alone')
    elif not any(h[8:16]):
        expect(path + ' clean', words, 'clean already')
    elif words.startswith('would be written'):
        expect(path + ' clean', (bytes.fromhex(old), bytes.fromhex(new)), (h, h[:8] + bytes(8)))
    else:  # an iNES 1.0 extension: bytes 8-10 only, with known values
        expect(path + ' clean', (words.startswith('iNES 1.0 header, bytes 8-10'), any(h[11:16])), (True, False))

shutil.rmtree(folder)
print('\n'.join(failures) or 'all golden outputs agree with the independent checks')
sys.exit(1 if failures else 0)
