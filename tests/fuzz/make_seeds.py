#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets from the commands' examples."""
import os

HERE = os.path.dirname(os.path.abspath(__file__))

EXAMPLES = [
    'wait(100)', 'wait(65536)', 'wait(100,1)', 'wait()', 'time(8:30)', 'time(8)', 'date(25)', 'date(25/12)',
    'goto(0,1)', 'goto(-2,1)', 'goto(5)', 'iftime(8,12)', 'iftime(22,6)', 'ifdate(1,15)', 'ifdate(2,6,1)',
    'stop', 'end()', 'beep', 'exec("calc",1,3)', 'exec(<c:\\program files\\x.exe>,4)', 'execdoc("a.txt",1)',
    'send("Hola{ENTER}")', 'send("+(ab){LEFT 3}^c%{F4}~",1)', 'focu(3)', 'msg("hola",5)',
    'mouse(100,200,1)', 'mouse(50%,50%,0,0,1)', 'mouse(+10,-5)', 'mouse(10,20,0,0,0,120)', 'ifmouse(0,0,100,100)',
    'ifmouse()', 'off', 'logoff', 'reboot', 'standby', 'copy("a.txt","c.txt")', 'xcopy("src","dst","/s /e")',
    'open("a.txt")', 'save("o.txt")', 'pos(3)', 'line(2,1)', 'write("x")', 'oemtoansi()', 'ansitooem()',
    'search("ART2")', 'repl("a","xy",0,0,0)', 'repl("A","b",0,1,0)', 'repl("2","new",0,0,1)', 'del("a",2)',
    'deline("ART")', 'deline("")', 'delinepart("<",">",0,0,0)', 'delinechar(1,1,0)', 'def(ART)',
    'ref("o.txt","1,2_3<2>")', 'ref("o.txt","10;,11")', "' comment", 'wiat(1)',
    'repl("\\n","X\\nYYYY",3,0,1)', 'write(13+10+"x"+65)',
]


def write(target, name, data):
    folder = os.path.join(HERE, 'corpus', target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), 'wb') as f:
        f.write(data)


def main():
    kinds = {'p': 1, 'e': 2, 't': 3, 'r': 4}
    for i, line in enumerate(EXAMPLES):
        for j, seq in enumerate(['ppp', 'eepp', 'ttt', 'r', 'epppp', 'ptptpt']):
            if (i + j) % 3 == 0:
                write('params', f'{i:02d}{seq}', bytes([len(seq)] + [kinds[k] - 1 for k in seq]) + line.encode('cp1252'))
    scripts = [
        ['open("a.txt")', 'search("ART2")', 'write("new ")', 'save("o.txt")', 'ref("r.txt","1_2<2>,3;")'],
        ['open("b.txt")', 'delinepart("<",">",0,0,0)', 'deline("")', 'delinechar(1,0)', 'repl("e","E",0,1,1)'],
        ["' x", 'beep', 'goto(0,3)', 'wait(10)', 'time(23:59)', 'date(17)', 'iftime(0,1)', 'beep', 'iftime()'],
        ['exec("calc",1,3)', 'focu(3)', 'send("ab{LEFT 2}")', 'mouse(+5,+5,1)', 'ifmouse(0,0,10,10)', 'beep',
         'ifmouse()', 'copy("a","b")', 'xcopy("a","b","/s")', 'msg("m",1)'],
        ['wiat(1)', 'repl("a","b",-2)', 'pos(-100)', 'open("missing")', 'save()', 'stop', 'beep'],
        ['ifdate(2,6,1)', 'logoff', 'ifdate()', 'standby', 'off', 'reboot'],
    ]
    for i, s in enumerate(scripts):
        for answers in (b'\x00\x00\x00\x00', b'\xff\xff\xff\x01'):
            write('script', f'{i}-{answers[0]:02x}{answers[3]:02x}', answers + '\r\n'.join(s).encode('cp1252'))
    texts = [
        (0x20, 3, 'a\r\nb\r\nc\r\nd', '\r\n', 'X\r\nYYYY'), (0x10, 0, 'aXa', 'A', 'bb'), (0x22, 0, 'l1\r\nl2\r\nl3', '2', ''),
        (0x01, 2, 'aaa', 'a', 'xy'), (0x02, 0, 'abcabc', 'b', ''), (0x13, 0, 'x a\r\nb\r\na c\r\n', 'A', ''),
        (0x04, 0, 'a<b>c\r\nd<e>f', '<', '>'), (0x14, 5, 'a<b>c<d>e\r\n', '<', '>'),
    ]
    for i, (op, counter, text, find, repl) in enumerate(texts):
        write('text_commands', f'example-{i}', bytes([op, counter, 1]) + f'{text}\x01{find}\x01{repl}'.encode('cp1252'))
    cats = [
        ('Cataleg\r\nART10 x\r\nART20 a\r\nART21 b\r\nART22 c\r\nART23 d\r\n', 'ART', '10,20_23<22>'),
        ('t\r\n123 a\r\n12 b\r\n', '', '12'), ('t\r\n10 a\r\n11 b\r\n', '', '10;,11'),
        ('t\r\n10\r\n11\r\n12\r\n13\r\n', '', '10_13<11_12>'), ('t\r\n10\r\n11\r\n', '', '10<11>2>,1_2_3'),
        ('ART1 first\r\nx\r\n', 'ART', '1,98_99<5>'),
    ]
    for i, (text, prefix, sel) in enumerate(cats):
        write('ref', f'example-{i}', f'{text}\x01{prefix}\x01{sel}'.encode('cp1252'))
    for i, keys in enumerate(['Hola{ENTER}', '+(ab)', '^c', '%{F4}', '~', '{LEFT 3}', '{{}{}}{+}', 'àç€',
                              '{a 99999}', '+^%x', '(a(b)c)', '{F16}{BS}{PGDN 2}']):
        write('sendkeys', f'{i:02d}', keys.encode('cp1252'))


def decoder_seeds():
    def keyed(key, text):
        return key.encode('cp1252') + b'\x01' + text.encode('cp1252')
    seeds = {
        'plain': b'beep\r\nwait(100)\r\n', 'header-29': b'$%& \x1dbeep\r\n', 'header-30': b'$%& \x1ebeep\r\n',
        'header-short': b'$%& ', 'roundtrip-ab': keyed('ab', 'Hi\r\n'), 'roundtrip-tilde': keyed('~', 'z'),
        'roundtrip-long': keyed('clau de prova', 'open("a.txt")\r\nrepl("a","b")\r\nsave("b.txt")'),
    }
    for name, data in seeds.items():
        write('decoder', name, data)


if __name__ == '__main__':
    main()
    decoder_seeds()
