#!/usr/bin/env python3
"""Writes the program's icons (SVG) into resources/icons.

The pictures are drawn here rather than by hand so that the whole set keeps
one style; run it again after changing a picture.  Every picture is drawn on
a 32 x 32 grid and stays readable at 16 x 16.
"""
import os
import sys

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'resources', 'icons')

def svg(body, w=32, h=32):
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d">\n%s\n</svg>\n'
            % (w, h, w, h, body))

# --- glyph pieces --------------------------------------------------------
def folder(fill, stroke, front=None):
    back = ('<path d="M2 7a2 2 0 0 1 2-2h8l3 3h13a2 2 0 0 1 2 2v16a2 2 0 0 1-2 2H4a2 2 0 0 1-2-2z" '
            'fill="%s" stroke="%s" stroke-width="1.5"/>' % (fill, stroke))
    if front is None:
        return back + '<path d="M2 12h28" stroke="%s" stroke-width="1.5" opacity=".5"/>' % stroke
    return back + ('<path d="M6 13h24.5a1 1 0 0 1 1 1.3l-3.3 12.2a2 2 0 0 1-1.9 1.5H4a1.5 1.5 0 0 1-1.4-2l3-11.9A1.5 1.5 0 0 1 6 13z" '
                   'fill="%s" stroke="%s" stroke-width="1.5"/>' % (front, stroke))

def note(x, y, s, color):
    # An eighth note scaled by s with its head's centre at (x, y).
    return ('<g transform="translate(%g %g) scale(%g)">'
            '<ellipse cx="0" cy="0" rx="4.2" ry="3.3" transform="rotate(-20)" fill="%s"/>'
            '<path d="M3.6 -1V-17c3 1 7 3 7 8" fill="none" stroke="%s" stroke-width="2.2" stroke-linecap="round"/>'
            '</g>' % (x, y, s, color, color))

def disc(cx, cy, r, shine=True):
    out = ('<circle cx="%g" cy="%g" r="%g" fill="#cfd8e3" stroke="#5b6b7c" stroke-width="1.5"/>' % (cx, cy, r))
    if shine:
        out += ('<path d="M%g %gA%g %g 0 0 1 %g %g" fill="none" stroke="#8fd0ff" stroke-width="%g" opacity=".8"/>'
                % (cx - r * .7, cy - r * .1, r * .7, r * .7, cx - r * .1, cy - r * .7, r * .25))
        out += ('<path d="M%g %gA%g %g 0 0 1 %g %g" fill="none" stroke="#ffb3e6" stroke-width="%g" opacity=".8"/>'
                % (cx + r * .7, cy + r * .1, r * .7, r * .7, cx + r * .1, cy + r * .7, r * .25))
    out += '<circle cx="%g" cy="%g" r="%g" fill="#fff" stroke="#5b6b7c" stroke-width="1.2"/>' % (cx, cy, r * .28)
    return out

def page(fill='#ffffff', stroke='#4a5a6a'):
    return ('<path d="M6 2h14l7 7v20a1 1 0 0 1-1 1H6a1 1 0 0 1-1-1V3a1 1 0 0 1 1-1z" fill="%s" stroke="%s" stroke-width="1.5"/>'
            '<path d="M20 2v7h7" fill="#dde4ea" stroke="%s" stroke-width="1.5" stroke-linejoin="round"/>' % (fill, stroke, stroke))

def padlock(x, y):
    return ('<g transform="translate(%g %g)">'
            '<path d="M2 6V4a4 4 0 0 1 8 0v2" fill="none" stroke="#7a5a00" stroke-width="2"/>'
            '<rect x="0" y="6" width="12" height="9" rx="1.5" fill="#f2c14e" stroke="#7a5a00" stroke-width="1.5"/>'
            '<circle cx="6" cy="10.5" r="1.5" fill="#7a5a00"/></g>' % (x, y))

def drive(led='#6b7b8b'):
    return ('<rect x="2" y="15" width="28" height="12" rx="2.5" fill="#b9c3cd" stroke="#4a5a6a" stroke-width="1.5"/>'
            '<path d="M5 23h14" stroke="#7b8b9b" stroke-width="1.5"/>'
            '<circle cx="25" cy="21" r="2" fill="%s" stroke="#2c3a48" stroke-width=".8"/>' % led)

def sparkle(x, y, color='#ff9f1c'):
    return ('<path d="M%g %gl1.6 3.4 3.4 1.6-3.4 1.6-1.6 3.4-1.6-3.4-3.4-1.6 3.4-1.6z" fill="%s" stroke="#8a4b00" stroke-width=".6"/>'
            % (x, y - 5, color))

LIT = '#3ddc5a'

# --- the image list --------------------------------------------------------
IMAGES = {
    'sort-ascending': '<path d="M16 5 27 24H5z" fill="#5b6b7c"/>',
    'sort-descending': '<path d="M16 27 27 8H5z" fill="#5b6b7c"/>',
    'folder': folder('#f4c95d', '#a5781c'),
    'folder-open': folder('#e0ae3c', '#a5781c', front='#fbdc8a'),
    'collection': ('<ellipse cx="16" cy="25" rx="12" ry="4" fill="#1f4e79" stroke="#10273d" stroke-width="1.5"/>'
                   '<path d="M4 9v16h24V9" fill="#2b6cb0" stroke="#10273d" stroke-width="1.5"/>'
                   '<ellipse cx="16" cy="17" rx="12" ry="4" fill="none" stroke="#8fc1ee" stroke-width="1.2"/>'
                   '<ellipse cx="16" cy="9" rx="12" ry="4" fill="#63a4e0" stroke="#10273d" stroke-width="1.5"/>'
                   + note(14, 25.5, .55, '#f2c14e')),
    'none': folder('#d5d9de', '#7b848d') + '<circle cx="16" cy="19" r="5.5" fill="none" stroke="#c0392b" stroke-width="2"/><path d="M11.5 23.5l9-9" stroke="#c0392b" stroke-width="2"/>',
    'none-open': folder('#c3c8ce', '#7b848d', front='#e6e9ec') + '<circle cx="17" cy="20.5" r="5" fill="none" stroke="#c0392b" stroke-width="2"/><path d="M13 24.5l8-8" stroke="#c0392b" stroke-width="2"/>',
    'track': note(11, 25, 1.0, '#1f4e79'),
    'track-selected': note(11, 25, 1.0, '#1f4e79') + '<path d="M22 12a6 6 0 0 1 0 9M25 9a10 10 0 0 1 0 15" fill="none" stroke="#ff9f1c" stroke-width="2" stroke-linecap="round"/>',
    'album': disc(16, 16, 13),
    'album-selected': ('<rect x="1.5" y="5" width="19" height="22" rx="1.5" fill="#2b6cb0" stroke="#10273d" stroke-width="1.5"/>'
                       + disc(20, 16, 10.5)),
    'diskfolder': folder('#7fb2e5', '#2c5d8f'),
    'diskfolder-open': folder('#5d98d4', '#2c5d8f', front='#b5d4f2'),
    'mp3file': page() + note(13, 24, .7, '#1f4e79'),
    'mp3file-selected': page('#dcecff', '#1f4e79') + note(13, 24, .7, '#1f4e79') + '<path d="M22 19a4 4 0 0 1 0 6" fill="none" stroke="#ff9f1c" stroke-width="2" stroke-linecap="round"/>',
    'mp3file-readonly': page() + note(11, 24, .6, '#1f4e79') + padlock(17, 15),
    'mp3file-readonly-selected': page('#dcecff', '#1f4e79') + note(11, 24, .6, '#1f4e79') + padlock(17, 15),
    'drive-cd': drive() + disc(16, 10, 8.5, shine=False),
    'drive-cd-selected': drive(LIT) + disc(16, 10, 8.5),
    'drive-fixed': drive() + '<path d="M5 15l4-9h14l4 9" fill="#d7dee5" stroke="#4a5a6a" stroke-width="1.5"/>',
    'drive-fixed-selected': drive(LIT) + '<path d="M5 15l4-9h14l4 9" fill="#eef2f6" stroke="#4a5a6a" stroke-width="1.5"/>',
    'drive-network': drive() + '<path d="M16 15V7M8 7h16" stroke="#2c5d8f" stroke-width="2"/><circle cx="8" cy="7" r="2.5" fill="#7fb2e5" stroke="#2c5d8f"/><circle cx="24" cy="7" r="2.5" fill="#7fb2e5" stroke="#2c5d8f"/><rect x="13" y="2" width="6" height="5" fill="#7fb2e5" stroke="#2c5d8f"/>',
    'drive-network-selected': drive(LIT) + '<path d="M16 15V7M8 7h16" stroke="#ff9f1c" stroke-width="2"/><circle cx="8" cy="7" r="2.5" fill="#ffd08a" stroke="#8a4b00"/><circle cx="24" cy="7" r="2.5" fill="#ffd08a" stroke="#8a4b00"/><rect x="13" y="2" width="6" height="5" fill="#ffd08a" stroke="#8a4b00"/>',
    'drive-removable': ('<rect x="9" y="2" width="14" height="10" rx="1" fill="#d7dee5" stroke="#4a5a6a" stroke-width="1.5"/>'
                        '<rect x="12" y="5" width="3" height="3" fill="#4a5a6a"/><rect x="17" y="5" width="3" height="3" fill="#4a5a6a"/>'
                        '<rect x="6" y="12" width="20" height="18" rx="3" fill="#c0392b" stroke="#6e1f17" stroke-width="1.5"/>'
                        '<circle cx="16" cy="24" r="2" fill="#6b7b8b"/>'),
    'drive-removable-selected': ('<rect x="9" y="2" width="14" height="10" rx="1" fill="#d7dee5" stroke="#4a5a6a" stroke-width="1.5"/>'
                                 '<rect x="12" y="5" width="3" height="3" fill="#4a5a6a"/><rect x="17" y="5" width="3" height="3" fill="#4a5a6a"/>'
                                 '<rect x="6" y="12" width="20" height="18" rx="3" fill="#e74c3c" stroke="#6e1f17" stroke-width="1.5"/>'
                                 '<circle cx="16" cy="24" r="2" fill="%s"/>' % LIT),
    'playlist': ('<path d="M3 7h17M3 13h17M3 19h11M3 25h11" stroke="#2c3a48" stroke-width="2.5" stroke-linecap="round"/>'
                 + note(22, 25, .65, '#1f4e79')),
    'playlist-selected': ('<path d="M3 7h17M3 13h17M3 19h11M3 25h11" stroke="#2c3a48" stroke-width="2.5" stroke-linecap="round"/>'
                          '<path d="M19 16v13l10-6.5z" fill="#3a9d23" stroke="#1d5011" stroke-width="1.2" stroke-linejoin="round"/>'),
    'explorer': ('<rect x="2" y="3" width="28" height="20" rx="2" fill="#5b6b7c" stroke="#2c3a48" stroke-width="1.5"/>'
                 '<rect x="5" y="6" width="22" height="14" fill="#8896a4"/>'
                 '<path d="M12 23l-2 5h12l-2-5" fill="#b9c3cd" stroke="#2c3a48" stroke-width="1.5"/>'),
    'explorer-selected': ('<rect x="2" y="3" width="28" height="20" rx="2" fill="#5b6b7c" stroke="#2c3a48" stroke-width="1.5"/>'
                          '<rect x="5" y="6" width="22" height="14" fill="#63a4e0"/>'
                          '<path d="M8 17l5-6 4 4 3-3 4 5z" fill="#dcecff"/>'
                          '<path d="M12 23l-2 5h12l-2-5" fill="#b9c3cd" stroke="#2c3a48" stroke-width="1.5"/>'),
}

STATE = {
    'state-ok': '<path d="M3 16l8 8 16-16" fill="none" stroke="#2e8b2e" stroke-width="5" stroke-linecap="round" stroke-linejoin="round"/>',
    'state-problem': '<path d="M6 6l20 20M26 6 6 26" stroke="#c0392b" stroke-width="5" stroke-linecap="round"/>',
}

ACTIONS = {
    'action-new': page() + '<path d="M24 18v10M19 23h10" stroke="#3a9d23" stroke-width="3" stroke-linecap="round"/>',
    'action-open': folder('#e0ae3c', '#a5781c', front='#fbdc8a'),
    'action-save': ('<path d="M3 4a1 1 0 0 1 1-1h20l5 5v20a1 1 0 0 1-1 1H4a1 1 0 0 1-1-1z" fill="#2b6cb0" stroke="#10273d" stroke-width="1.5"/>'
                    '<rect x="8" y="3" width="14" height="9" fill="#dcecff" stroke="#10273d"/><rect x="17" y="5" width="3" height="5" fill="#2b6cb0"/>'
                    '<rect x="7" y="17" width="18" height="12" fill="#fff" stroke="#10273d"/>'),
    'action-print': ('<rect x="8" y="3" width="16" height="9" fill="#fff" stroke="#4a5a6a" stroke-width="1.5"/>'
                     '<rect x="2" y="11" width="28" height="12" rx="2" fill="#8896a4" stroke="#2c3a48" stroke-width="1.5"/>'
                     '<rect x="8" y="19" width="16" height="10" fill="#fff" stroke="#4a5a6a" stroke-width="1.5"/>'
                     '<path d="M11 23h10M11 26h7" stroke="#8896a4" stroke-width="1.2"/><circle cx="26" cy="15" r="1.5" fill="%s"/>' % LIT),
    'action-folders': (folder('#f4c95d', '#a5781c') + '<path d="M10 16h14M10 20h14M10 24h10" stroke="#a5781c" stroke-width="1.8"/>'),
    'action-up': folder('#f4c95d', '#a5781c') + '<path d="M16 26V15M11 19l5-5 5 5" fill="none" stroke="#1d5011" stroke-width="2.6" stroke-linecap="round" stroke-linejoin="round"/>',
    'action-refresh': ('<path d="M25 10A10 10 0 1 0 26 19" fill="none" stroke="#3a9d23" stroke-width="3" stroke-linecap="round"/>'
                       '<path d="M27 3v9h-9z" fill="#3a9d23"/>'),
    'action-columns': ('<rect x="3" y="4" width="26" height="24" rx="1.5" fill="#fff" stroke="#4a5a6a" stroke-width="1.5"/>'
                       '<rect x="3" y="4" width="26" height="6" fill="#8fc1ee" stroke="#4a5a6a" stroke-width="1.5"/>'
                       '<path d="M12 4v24M21 4v24" stroke="#4a5a6a" stroke-width="1.5"/>'),
    'action-sort': ('<path d="M9 4v22M4 21l5 6 5-6" fill="none" stroke="#2c3a48" stroke-width="2.4" stroke-linecap="round" stroke-linejoin="round"/>'
                    '<text x="17" y="14" font-family="sans-serif" font-weight="bold" font-size="11" fill="#2b6cb0">A</text>'
                    '<text x="17" y="28" font-family="sans-serif" font-weight="bold" font-size="11" fill="#c0392b">Z</text>'),
    'action-edit': (page() + '<path d="M10 27l2-6 12-12 4 4-12 12z" fill="#f2c14e" stroke="#7a5a00" stroke-width="1.3" stroke-linejoin="round"/>'),
    'action-remove': ('<path d="M7 9h18l-2 20H9z" fill="#d7dee5" stroke="#4a5a6a" stroke-width="1.5" stroke-linejoin="round"/>'
                      '<path d="M4 8h24M12 8V4h8v4M13 13v12M19 13v12" fill="none" stroke="#4a5a6a" stroke-width="1.8"/>'
                      '<path d="M20 19l9 9M29 19l-9 9" stroke="#c0392b" stroke-width="2.8" stroke-linecap="round"/>'),
    'action-lookuplists': ('<rect x="3" y="3" width="22" height="26" rx="1.5" fill="#fff" stroke="#4a5a6a" stroke-width="1.5"/>'
                           '<path d="M7 9h14M7 14h14M7 19h9" stroke="#2b6cb0" stroke-width="2"/>'
                           '<circle cx="22" cy="22" r="5" fill="none" stroke="#2c3a48" stroke-width="2.4"/><path d="M25.5 25.5l4 4" stroke="#2c3a48" stroke-width="3" stroke-linecap="round"/>'),
    'action-filter': '<path d="M3 4h26L19 16v10l-6 3V16z" fill="#63a4e0" stroke="#10273d" stroke-width="1.6" stroke-linejoin="round"/>',
    'action-filter-onoff': ('<path d="M3 4h26L19 16v10l-6 3V16z" fill="#f2c14e" stroke="#7a5a00" stroke-width="1.6" stroke-linejoin="round"/>'
                            '<circle cx="24" cy="24" r="6" fill="#fff" stroke="#2c3a48" stroke-width="1.5"/><path d="M24 19v5" stroke="#2c3a48" stroke-width="2" stroke-linecap="round"/>'),
    'action-preferences': ('<circle cx="16" cy="16" r="9" fill="none" stroke="#4a5a6a" stroke-width="6" stroke-dasharray="4.7 2.37"/>'
                           '<circle cx="16" cy="16" r="8" fill="#b9c3cd" stroke="#4a5a6a" stroke-width="1.5"/><circle cx="16" cy="16" r="3.5" fill="#fff" stroke="#4a5a6a" stroke-width="1.5"/>'),
    'action-update': ('<circle cx="16" cy="16" r="13" fill="#63a4e0" stroke="#10273d" stroke-width="1.5"/>'
                      '<path d="M16 8v13M10 16l6 6 6-6" fill="none" stroke="#fff" stroke-width="3" stroke-linecap="round" stroke-linejoin="round"/>'),
    'action-help': ('<circle cx="16" cy="16" r="13" fill="#2b6cb0" stroke="#10273d" stroke-width="1.5"/>'
                    '<path d="M11.5 12a4.5 4.5 0 1 1 6 4.2c-1.2.6-1.5 1.3-1.5 2.8" fill="none" stroke="#fff" stroke-width="3" stroke-linecap="round"/>'
                    '<circle cx="16" cy="24" r="2" fill="#fff"/>'),
}

DOCUMENT = page() + ('<ellipse cx="16" cy="26" rx="8" ry="2.5" fill="#1f4e79"/><path d="M8 16v10h16V16" fill="#2b6cb0"/>'
                     '<ellipse cx="16" cy="16" rx="8" ry="2.5" fill="#63a4e0" stroke="#10273d"/>')

def main():
    os.makedirs(OUT, exist_ok=True)
    written = 0
    for group in (IMAGES, STATE, ACTIONS):
        for name, body in group.items():
            with open(os.path.join(OUT, name + '.svg'), 'w') as f:
                f.write(svg(body))
            written += 1
    with open(os.path.join(OUT, 'application-x-tunebase-collection.svg'), 'w') as f:
        f.write(svg(DOCUMENT))
    print('%d icons written to %s' % (written + 1, os.path.normpath(OUT)), file=sys.stderr)

if __name__ == '__main__':
    main()
