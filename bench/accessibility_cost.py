"""What the web engine's accessibility costs the reader: the time to the
first entry and the memory of the whole process tree, with no screen reader
("plain") or with AT-SPI on and the tree read once ("reader"). Run inside
a D-Bus session of its own on an X display (docs/PERFORMANCE.md):
    dbus-run-session -- /usr/bin/python3 bench/accessibility_cost.py WLREADER BUNDLE plain|reader
"""
import os
import re
import signal
import subprocess
import sys
import tempfile
import time

binary, bundle, mode = sys.argv[1], sys.argv[2], sys.argv[3]
def tree(pid):
    kids = {}
    for p in os.listdir('/proc'):
        if p.isdigit():
            try:
                ppid = int(open(f'/proc/{p}/stat').read().rsplit(')',1)[1].split()[1])
                kids.setdefault(ppid, []).append(int(p))
            except Exception: pass
    out, todo = [], [pid]
    while todo:
        q = todo.pop(); out.append(q); todo += kids.get(q, [])
    return out
def mem(pids):
    rss = pss = 0
    for p in pids:
        try:
            for line in open(f'/proc/{p}/smaps_rollup'):
                if line.startswith('Rss:'): rss += int(line.split()[1])
                if line.startswith('Pss:'): pss += int(line.split()[1])
        except Exception: pass
    return rss // 1024, pss // 1024
state = tempfile.mkdtemp()
env = dict(os.environ, QT_QPA_PLATFORM='xcb', WL_DEFAULTS_FILE=state + '/d.plist', TMPDIR=state, XDG_RUNTIME_DIR=state,
           XDG_CONFIG_HOME=state, XDG_DATA_HOME=state, XDG_CACHE_HOME=state)
if mode == 'reader':
    subprocess.Popen(['/usr/libexec/at-spi-bus-launcher', '--launch-immediately'], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(1)
    env['QT_LINUX_ACCESSIBILITY_ALWAYS_ON'] = '1'
proc = subprocess.Popen([binary, '--verbose', '--dictionary', bundle, 'house'], env=env, stderr=subprocess.PIPE, text=True)
painted = None
start = time.time()
for line in proc.stderr:
    m = re.search(r'entry painted after (\d+) ms', line)
    if m:
        painted = int(m.group(1)); break
    if time.time() - start > 60: break
if mode == 'reader':
    # a screen reader reads the tree: walk it once
    subprocess.run(['/usr/bin/python3', '-c', '''
import pyatspi
d = pyatspi.Registry.getDesktop(0)
def walk(n):
    for i in range(n.childCount):
        c = n.getChildAtIndex(i)
        if c is not None: walk(c)
for i in range(d.childCount):
    a = d.getChildAtIndex(i)
    if a and a.name == "wlreader": walk(a)
'''], timeout=60)
time.sleep(3)
rss, pss = mem(tree(proc.pid))
print(f'{mode} painted={painted} rss={rss} pss={pss}')
proc.send_signal(signal.SIGTERM); proc.wait(20)
