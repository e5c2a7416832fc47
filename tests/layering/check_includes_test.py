#!/usr/bin/env python3
"""The include check on small trees made here: it finds each kind of circle
and an include from above, and passes a tree without them."""
import os
import subprocess
import sys
import tempfile
import unittest

CHECK = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'check_includes.py')


def run(files):
    with tempfile.TemporaryDirectory() as root:
        for path, text in files.items():
            full = os.path.join(root, path)
            os.makedirs(os.path.dirname(full), exist_ok=True)
            with open(full, 'w', encoding='utf-8') as f:
                f.write(text)
        done = subprocess.run([sys.executable, CHECK, root], capture_output=True, text=True)
        return done.returncode, done.stdout.splitlines()


class CheckIncludesTest(unittest.TestCase):
    def test_a_clean_tree_passes(self):
        code, out = run({
            'src/blac/a.h': '#include "linalg/m.h"\n#include <vector>\n',
            'src/blac/a.cpp': '#include "blac/a.h"\n#include "blac/b.h"\n',
            'src/blac/b.h': '#include "state/s.h"\n',
            'src/linalg/m.h': '', 'src/state/s.h': '#include "linalg/m.h"\n',
            'web/main.js': "import { x } from './a.js';\n", 'web/a.js': "import u from './uPlot.esm.js';\n",
        })
        self.assertEqual(code, 0, out)
        self.assertEqual(out[-1], '6 units, 0 problems')

    def test_a_source_including_a_header_that_includes_it_back_is_a_circle(self):
        # The unit is the header with its source: a.cpp -> b.h, b.cpp -> a.h.
        code, out = run({
            'src/interaction/a.h': '', 'src/interaction/a.cpp': '#include "interaction/b.h"\n',
            'src/interaction/b.h': '', 'src/interaction/b.cpp': '#include "interaction/a.h"\n',
        })
        self.assertEqual(code, 1)
        self.assertIn('interaction/a -> interaction/b -> interaction/a', out)

    def test_a_circle_through_a_third_unit_and_among_scripts(self):
        code, out = run({
            'src/windows/a.h': '#include "windows/b.h"\n', 'src/windows/b.h': '#include "windows/c.h"\n',
            'src/windows/c.cpp': '#include "windows/a.h"\n',
            'web/x.js': "import { y } from './y.js';\n", 'web/y.js': "import {\n  x,\n} from './x.js';\n",
        })
        self.assertEqual(code, 1)
        self.assertIn('windows/a -> windows/b -> windows/c -> windows/a', out)
        self.assertIn('page/x -> page/y -> page/x', out)

    def test_an_include_from_a_folder_above_is_named(self):
        code, out = run({
            'src/blac/a.cpp': '#include "interaction/b.h"\n', 'src/interaction/b.h': '',
            'src/render/r.cpp': '#include "blac/a.h"\n#include "sources/s.h"\n', 'src/blac/a.h': '',
            'src/sources/s.h': '',
        })
        self.assertEqual(code, 1)
        self.assertEqual(out[:2], ['blac/a includes interaction/b', 'render/r includes sources/s'])


if __name__ == '__main__':
    unittest.main()
