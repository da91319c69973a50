#!/usr/bin/env python3
# Checks the golden outputs by means independent of Tallowick: the header
# fields with a decoder written from the format's byte tables, the hashes
# with Python's zlib and hashlib over the byte ranges the format defines,
# the header database's entries with Python's own XML parser.
# Run from the repository's root:  python3 tests/data/golden/check-golden.py
# The check outputs and the text lines are read by hand (CHECKED.md).
import hashlib, json, os, re, shutil, sys, tempfile, zlib
import xml.etree.ElementTree as ElementTree

here = os.path.dirname(os.path.abspath(__file__))
folder = tempfile.mkdtemp()
for name in os.listdir('samples'):
    if name.endswith('.nes'):
        shutil.copy(os.path.join('samples', name), folder)
for line in open(os.path.join(here, 'images.txt')):
    if line.strip() and not line.startswith('#'):
        name, hexText, payload, padding = line.split()
        data = bytes.fromhex(hexText) + bytes((i * 7 + 3) & 0xFF for i in range(int(payload)))
        open(os.path.join(folder, name), 'wb').write(data + b'\xff' * int(padding))

def decode(h):
    nes2 = h[7] & 0x0C == 0x08
    def rom(lsb, msb, unit):
        if nes2 and msb == 0xF:
            return min(2 ** (lsb >> 2) * ((lsb & 3) * 2 + 1), 2 ** 64 - 1)
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

def sizeText(n):
    if n == 0:
        return 'none'
    for unit, word in ((1 << 20, 'MiB'), (1024, 'KiB')):
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
            text = ('-' if want is None else
                    sizeText(want) if label.endswith(('size', 'RAM')) and 'Expected' not in label
                    and 'File' not in label else str(want))
            if label in ('Expected size', 'File size'):
                text = '%d bytes' % want
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
expect('dry runs', [len(found) for found in pairs], [10, 20])

shutil.rmtree(folder)
print('\n'.join(failures) or 'all golden outputs agree with the independent checks')
sys.exit(1 if failures else 0)
