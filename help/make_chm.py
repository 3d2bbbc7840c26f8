#!/usr/bin/env python3
"""Builds VELDAR.CHM from the help sources.

    make_chm.py SOURCE_DIR STAGE_DIR OUTPUT_CHM

The sources are UTF-8; the help file is read in the code page of its language (932), so the
text files are converted on their way to the stage folder, where chmcmd compiles them.

chmcmd stores the target of each [ALIAS] entry as the absolute path of the source file on the
build machine ("/home/.../options.html"), which no help viewer finds inside the file. The
context table (#IVB) and its strings (#STRINGS) are therefore written again, uncompressed, from
the project's [ALIAS] and [MAP] sections, and the directory entries of the two are pointed at
the new copies. Everything else in the file stays as chmcmd wrote it.
"""
import os
import re
import shutil
import struct
import subprocess
import sys

TEXT_SUFFIXES = ('.html', '.htm', '.hhp', '.hhc', '.hhk', '.css')


def stage(source, target):
    if os.path.isdir(target):
        shutil.rmtree(target)
    os.makedirs(target)
    for name in sorted(os.listdir(source)):
        path = os.path.join(source, name)
        if name.lower().endswith(TEXT_SUFFIXES):
            text = open(path, encoding='utf-8').read()
            text = re.sub(r'charset=utf-8', 'charset=Shift_JIS', text, flags=re.I)
            with open(os.path.join(target, name), 'w', encoding='cp932', newline='\r\n') as out:
                out.write(text)
        elif name.lower().endswith(('.png', '.gif', '.jpg')):
            shutil.copy(path, target)


def read_project(path):
    sections, current = {}, None
    for line in open(path, encoding='cp932'):
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


def encint(value):
    out = [value & 0x7f]
    value >>= 7
    while value:
        out.append(0x80 | (value & 0x7f))
        value >>= 7
    return bytes(reversed(out))


def decint(data, i):
    value = 0
    while True:
        byte = data[i]
        i += 1
        value = (value << 7) | (byte & 0x7f)
        if byte < 0x80:
            return value, i


def replace_context_tables(chm, contexts):
    data = bytearray(chm)
    header0, = struct.unpack_from('<Q', data, 0x38)
    directory, = struct.unpack_from('<Q', data, 0x48)
    content, = struct.unpack_from('<Q', data, 0x58)
    header_length, chunk_size, density = struct.unpack_from('<I4xII', data, directory + 8)
    index_depth, = struct.unpack_from('<I', data, directory + 0x18)
    chunks, = struct.unpack_from('<I', data, directory + 0x2c)
    if chunks != 1 or index_depth != 1:
        sys.exit('make_chm: the directory has grown beyond one chunk; extend the rewrite')
    chunk = directory + header_length
    free, = struct.unpack_from('<I', data, chunk + 4)
    count, = struct.unpack_from('<H', data, chunk + chunk_size - 2)
    quickrefs = count // (1 + (1 << density))
    old_refs = [struct.unpack_from('<H', data, chunk + chunk_size - 4 - 2 * k)[0]
                for k in range(quickrefs)]

    # The new tables go to the end of the file, in the uncompressed section.
    strings = bytearray(b'\0')
    ivb = bytearray()
    for number, target in contexts:
        ivb += struct.pack('<II', number, len(strings))
        strings += target.encode('cp932') + b'\0'
    ivb = struct.pack('<I', len(ivb)) + ivb
    placed = {}
    for name, blob in (('/#IVB', ivb), ('/#STRINGS', bytes(strings))):
        placed[name] = (0, len(data) - content, len(blob))
        data += blob

    entries, offsets, i = [], [], chunk + 0x14
    end = chunk + chunk_size - free
    while i < end:
        offsets.append(i - chunk - 0x14)
        length, i = decint(data, i)
        name = bytes(data[i:i + length])
        i += length
        fields = []
        for _ in range(3):
            value, i = decint(data, i)
            fields.append(value)
        entries.append((name, placed.get(name.decode('latin-1'), tuple(fields))))
    names = [name for name, _ in entries]
    if len(entries) != count or b'/#IVB' not in names or b'/#STRINGS' not in names:
        sys.exit('make_chm: unexpected directory in the compiled file')
    ref_entries = [offsets.index(r) for r in old_refs]

    body, new_offsets = bytearray(), []
    for name, fields in entries:
        new_offsets.append(len(body))
        body += encint(len(name)) + name + b''.join(encint(f) for f in fields)
    tail = b''.join(struct.pack('<H', new_offsets[e]) for e in reversed(ref_entries))
    tail += struct.pack('<H', count)
    room = chunk_size - 0x14 - len(body) - len(tail)
    if room < 0:
        sys.exit('make_chm: the directory chunk is full')
    data[chunk + 0x14:chunk + chunk_size] = body + bytes(room) + tail
    struct.pack_into('<I', data, chunk + 4, room + len(tail))
    struct.pack_into('<Q', data, header0 + 8, len(data))
    return bytes(data)


def verify(chm, pages, contexts):
    """Reads the finished file back: every page is in it, and every context number leads to
    the name of a page that is in it."""
    data = bytes(chm)
    content, = struct.unpack_from('<Q', data, 0x58)
    directory, = struct.unpack_from('<Q', data, 0x48)
    header_length, chunk_size = struct.unpack_from('<I4xI', data, directory + 8)
    chunk = directory + header_length
    free, = struct.unpack_from('<I', data, chunk + 4)
    entries, i = {}, chunk + 0x14
    while i < chunk + chunk_size - free:
        length, i = decint(data, i)
        name = data[i:i + length].decode('cp932')
        i += length
        fields = []
        for _ in range(3):
            value, i = decint(data, i)
            fields.append(value)
        entries[name] = fields
    missing = [p for p in pages if '/' + p not in entries]
    if missing:
        sys.exit('make_chm: pages missing from the compiled file: %s' % ', '.join(missing))

    def read(name):
        section, offset, length = entries[name]
        if section != 0:
            sys.exit('make_chm: %s is not where it was written' % name)
        return data[content + offset:content + offset + length]
    ivb, strings = read('/#IVB'), read('/#STRINGS')
    table = {}
    for k in range(struct.unpack_from('<I', ivb)[0] // 8):
        number, offset = struct.unpack_from('<II', ivb, 4 + 8 * k)
        table[number] = strings[offset:strings.index(b'\0', offset)].decode('cp932')
    for number, target in contexts:
        if table.get(number) != target or '/' + target not in entries:
            sys.exit('make_chm: context %d does not lead to %s' % (number, target))


def main():
    source, target, output = sys.argv[1:4]
    stage(source, target)
    projects = [n for n in os.listdir(target) if n.lower().endswith('.hhp')]
    options, contexts = read_project(os.path.join(target, projects[0]))
    compiled = [o.split('=', 1)[1].strip() for o in options if o.lower().startswith('compiled file=')]
    built = os.path.join(target, compiled[0])
    if os.path.exists(built):
        os.remove(built)
    run = subprocess.run(['chmcmd', '--no-html-scan', projects[0]], cwd=target,
                         stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                         encoding='utf-8', errors='replace')
    if run.returncode != 0 or not os.path.exists(built):
        sys.exit('make_chm: chmcmd failed:\n' + run.stdout)
    with open(built, 'rb') as f:
        chm = replace_context_tables(f.read(), contexts)
    pages = [n for n in os.listdir(target) if n.lower().endswith(('.html', '.hhc', '.css'))]
    verify(chm, pages, contexts)
    with open(output, 'wb') as f:
        f.write(chm)


if __name__ == '__main__':
    main()
