#!/usr/bin/env python3
"""Builds VELDAR.CHM from the help sources.

    make_chm.py SOURCE_DIR STAGE_DIR OUTPUT_CHM

The sources are UTF-8; the help file is read in the code page of its language (932), so the
text files are converted on their way to the stage folder, where chmcmd compiles them. The
index, index.hhk, is written there from keywords.txt, sorted in 五十音順 by the readings given
in the table.

chmcmd stores the target of each [ALIAS] entry as the absolute path of the source file on the
build machine ("/home/.../options.html"), which no help viewer finds inside the file and which
would carry a path of the build machine to every user. chmcmd therefore compiles the project
without its [ALIAS] and [MAP] sections; the context table (#IVB) is written here, its targets
are appended to chmcmd's strings (#STRINGS), both go uncompressed to the end of the file, and
the directory is pointed at them; so does a copy of the window (#WINDOWS) whose valid fields
are mended. Everything else stays as chmcmd wrote it.

The finished file is then read back as a help viewer reads it (chm_file.py) and checked.
"""
import bisect
import os
import re
import shutil
import struct
import subprocess
import sys
import unicodedata

# The reader lies beside this script; no byte code is left in the source folder.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from chm_file import ChmFile, encint  # noqa: E402

TEXT_SUFFIXES = ('.html', '.htm', '.hhp', '.hhc', '.css')

# What users look for first; the build fails when one of them leaves the index.
KEYWORDS_USERS_LOOK_FOR = ('登録', '削除', '移動', 'アイコン数', 'ホームページ', '終了予約',
                           'アンインストール')

HHWIN_PROP_TAB_SEARCH = 0x400
HHWIN_PARAM_PROPERTIES, HHWIN_PARAM_RECT, HHWIN_PARAM_NAV_WIDTH, HHWIN_PARAM_TB_FLAGS = (
    0x2, 0x10, 0x20, 0x100)


def fail(message):
    sys.exit('make_chm: ' + message)


def stage(source, target):
    if os.path.isdir(target):
        shutil.rmtree(target)
    os.makedirs(target)
    for name in sorted(os.listdir(source)):
        path = os.path.join(source, name)
        if name.lower().endswith(TEXT_SUFFIXES):
            text = open(path, encoding='utf-8').read()
            text = re.sub(r'charset=utf-8', 'charset=Shift_JIS', text, flags=re.I)
            if name.lower().endswith('.hhp'):
                text = re.sub(r'^\[(ALIAS|MAP)\]\n(?:[^[].*\n|\n)*', '', text, flags=re.M)
            write_cp932(os.path.join(target, name), text)
        elif name.lower().endswith(('.png', '.gif', '.jpg')):
            shutil.copy(path, target)


def write_cp932(path, text):
    with open(path, 'w', encoding='cp932', newline='\r\n') as out:
        out.write(text)


def read_project(path):
    sections, current = {}, None
    for line in open(path, encoding='utf-8'):
        line = line.strip()
        if line.startswith('[') and line.endswith(']'):
            current = sections.setdefault(line[1:-1].upper(), [])
        elif line and current is not None:
            current.append(line)
    aliases = dict(l.split('=', 1) for l in sections.get('ALIAS', []))
    contexts = []
    for line in sections.get('MAP', []):
        match = re.match(r'#define\s+(\w+)\s+(\d+)', line)
        if match:
            contexts.append((int(match.group(2)), aliases[match.group(1)].strip()))
    return sections['OPTIONS'], contexts


# --- the index ------------------------------------------------------------------------------

SMALL_KANA = str.maketrans('ぁぃぅぇぉっゃゅょゎゕゖ', 'あいうえおつやゆよわかけ')


def gojuon_key(reading):
    """Dictionary order: by the plain kana first (か and が, よ and ょ alike), then by the
    reading itself, so that the unvoiced and large come before the voiced and small."""
    plain = ''.join(c for c in unicodedata.normalize('NFD', reading)
                    if c not in '\u3099\u309a')
    return unicodedata.normalize('NFC', plain).translate(SMALL_KANA), reading


def read_keywords(path):
    """(key of the reading, keyword, page) in 五十音順 from the table: reading, keyword and
    page, a tab apart."""
    entries = []
    for number, line in enumerate(open(path, encoding='utf-8'), 1):
        line = line.rstrip('\n')
        if not line.strip() or line.startswith('#'):
            continue
        fields = line.split('\t')
        if len(fields) != 3 or not re.fullmatch('[\u3041-\u3096]+', fields[0]):
            fail('%s:%d: expected "reading<TAB>keyword<TAB>page" with the reading in '
                 'hiragana (no ー)' % (path, number))
        entries.append((gojuon_key(fields[0]), fields[1], fields[2]))
    entries.sort()
    return entries


def write_index(keywords, path):
    items = ''.join('  <LI><OBJECT type="text/sitemap">\n'
                    '    <param name="Name" value="%s">\n'
                    '    <param name="Local" value="%s">\n'
                    '    </OBJECT>\n' % (keyword, page) for _, keyword, page in keywords)
    write_cp932(path, '<!DOCTYPE HTML PUBLIC "-//IETF//DTD HTML//EN">\n<HTML>\n<HEAD>\n'
                '<meta http-equiv="Content-Type" content="text/html; charset=Shift_JIS">\n'
                '<!-- Keyword index of VELDAR.CHM, written by make_chm.py from keywords.txt -->\n'
                '</HEAD>\n<BODY>\n<UL>\n' + items + '</UL>\n</BODY>\n</HTML>\n')


# --- the rewrite ----------------------------------------------------------------------------

def rewrite(chm, contexts):
    """The file with the context table (chmcmd's strings plus the context targets, and #IVB)
    and the window's valid fields mended."""
    data = bytearray(chm.data)
    strings = bytearray(chm.read('/#STRINGS'))
    ivb = bytearray()
    for number, target in contexts:
        ivb += struct.pack('<II', number, len(strings))
        strings += target.encode('cp932') + b'\0'
    ivb = struct.pack('<I', len(ivb)) + ivb
    # chmcmd marks the fields that the window's definition leaves empty as the valid ones, the
    # window's rectangle among them, all zeros. The definition gives the properties (the tabs),
    # the width of the navigation pane and the buttons; the viewer chooses the rest.
    windows = bytearray(chm.read('/#WINDOWS'))
    struct.pack_into('<I', windows, 8 + 12,
                     HHWIN_PARAM_PROPERTIES | HHWIN_PARAM_NAV_WIDTH | HHWIN_PARAM_TB_FLAGS)
    entries = dict(chm.entries)
    for name, blob in (('/#STRINGS', bytes(strings)), ('/#IVB', ivb), ('/#WINDOWS', windows)):
        entries[name] = (0, len(data) - chm.content, len(blob))
        data += blob

    # The directory is one listing chunk, its entries in the order of their names, with a
    # quick reference to every (1 + 2^density)th entry at its end.
    directory, = struct.unpack_from('<Q', data, 0x48)
    density, = struct.unpack_from('<I', data, directory + 0x10)
    names = chm.names()
    if '/#IVB' not in names:
        keys = [n.lower() for n in names]
        names.insert(bisect.bisect(keys, '/#ivb'), '/#IVB')
    body, offsets = bytearray(), []
    for name in names:
        offsets.append(len(body))
        encoded = name.encode('cp932')
        body += encint(len(encoded)) + encoded + b''.join(encint(f) for f in entries[name])
    step = 1 + (1 << density)
    refs = offsets[step - 1::step][:len(names) // step]
    tail = b''.join(struct.pack('<H', r) for r in reversed(refs)) + struct.pack('<H', len(names))
    room = chm.chunk_size - 0x14 - len(body) - len(tail)
    if room < 0:
        fail('the directory chunk is full')
    data[chm.chunk + 0x14:chm.chunk + chm.chunk_size] = body + bytes(room) + tail
    struct.pack_into('<I', data, chm.chunk + 4, room + len(tail))
    header0, = struct.unpack_from('<Q', data, 0x38)
    struct.pack_into('<Q', data, header0 + 8, len(data))
    return bytes(data)


# --- the checks -----------------------------------------------------------------------------

def verify(data, pages, contexts, keywords, machine_paths):
    """Reads the finished file back as a viewer does: every page is in it; the window shows
    the contents, the index and the search tab; the index holds the table's keywords in its
    order, each leading to a page in the file; every context number leads to its page; and no
    path of the build machine is anywhere in it, compressed or not."""
    chm = ChmFile(data)
    present = set(chm.names())
    missing = [p for p in pages if '/' + p not in present]
    if missing:
        fail('pages missing from the compiled file: %s' % ', '.join(missing))
    strings = chm.read('/#STRINGS')

    def string(offset):
        return strings[offset:strings.index(b'\0', offset)].decode('cp932') if offset else ''

    system = chm.read('/#SYSTEM')
    codes, i = {}, 4
    while i < len(system):
        code, length = struct.unpack_from('<HH', system, i)
        codes[code] = system[i + 4:i + 4 + length]
        i += 4 + length
    windows = chm.read('/#WINDOWS')
    count, size = struct.unpack_from('<II', windows)
    if count < 1:
        fail('the file defines no window')
    entry = windows[8:8 + size]
    window_type, valid, properties = struct.unpack_from('<III', entry, 8)
    toc, index, topic, home = (string(o) for o in struct.unpack_from('<4I', entry, 96))
    if codes.get(5, b'').rstrip(b'\0').decode('cp932') != string(window_type):
        fail('the default window is not the window the file defines')
    for what, name in (('contents', toc), ('index', index), ('topic', topic), ('home', home)):
        if '/' + name not in present:
            fail('the window\'s %s "%s" is not in the file' % (what, name))
    if not properties & HHWIN_PROP_TAB_SEARCH or '/$FIftiMain' not in present:
        fail('the window has no search tab or the file no full-text index')
    if valid & HHWIN_PARAM_RECT and not any(struct.unpack_from('<4i', entry, 32)):
        fail('the window is given a rectangle of no size')

    hhk = chm.read('/' + index).decode('cp932')
    stored = re.findall(r'<param name="Name" value="([^"]*)">\s*'
                        r'<param name="Local" value="([^"]*)">', hhk)
    if stored != [(keyword, page) for _, keyword, page in keywords]:
        fail('the index in the file is not the table of keywords.txt')
    order = [key for key, _, _ in keywords]
    if order != sorted(order):
        fail('the index in the file is not in the order of the readings')
    lost = [k for k in KEYWORDS_USERS_LOOK_FOR if k not in dict(stored)]
    dead = ['%s -> %s' % entry for entry in stored if '/' + entry[1] not in present]
    if lost or dead:
        fail('index keywords missing: %s; leading nowhere: %s' % (lost, dead))

    ivb = chm.read('/#IVB')
    table = {}
    for k in range(struct.unpack_from('<I', ivb)[0] // 8):
        number, offset = struct.unpack_from('<II', ivb, 4 + 8 * k)
        table[number] = string(offset)
    for number, target in contexts:
        if table.get(number) != target or '/' + target not in present:
            fail('context %d does not lead to %s' % (number, target))

    everything = chm.data + chm.section1()
    for path in machine_paths:
        for encoded in {path.encode('utf-8'), path.encode('cp932', 'replace')}:
            if encoded in everything:
                fail('the file holds a path of the build machine: %s' % path)


def main():
    source, target, output = sys.argv[1:4]
    stage(source, target)
    keywords = read_keywords(os.path.join(source, 'keywords.txt'))
    projects = [n for n in os.listdir(source) if n.lower().endswith('.hhp')]
    options, contexts = read_project(os.path.join(source, projects[0]))
    for option in options:
        name, _, value = option.partition('=')
        if name.strip().lower() == 'index file':
            write_index(keywords, os.path.join(target, value.strip()))
    compiled = [o.split('=', 1)[1].strip() for o in options if o.lower().startswith('compiled file=')]
    built = os.path.join(target, compiled[0])
    run = subprocess.run(['chmcmd', '--no-html-scan', projects[0]], cwd=target,
                         stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                         encoding='utf-8', errors='replace')
    if run.returncode != 0 or not os.path.exists(built):
        fail('chmcmd failed:\n' + run.stdout)
    with open(built, 'rb') as f:
        chm = rewrite(ChmFile(f.read()), contexts)
    pages = [n for n in os.listdir(target) if n.lower().endswith(('.html', '.hhc', '.css'))]
    machine_paths = {os.path.abspath(p) for p in (source, target, os.path.dirname(output))}
    verify(chm, pages, contexts, keywords, machine_paths)
    with open(output, 'wb') as f:
        f.write(chm)


if __name__ == '__main__':
    main()
