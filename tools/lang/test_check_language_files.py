#!/usr/bin/python3
"""Tests of the language-file checker and of the shipped language files.

Run: /usr/bin/python3 -m unittest discover -s tools/lang -p 'test_*.py'
"""

import io
import os
import shutil
import tempfile
import unittest
from contextlib import redirect_stdout, redirect_stderr
from xml.sax.saxutils import escape

import check_language_files as checker

LANGUAGE_DIR = os.path.normpath(
    os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'assets', 'Language'))


def good_strings():
    strings = {sid: 'Text of ' + sid for sid in checker.STRING_IDS}
    strings['str_msg2'] = 'Cannot open %s.'
    for sid in checker.SINGLE_LINE_WIDTHS:
        strings[sid] = 'Short'
    for sid in checker.STATUS_HINT_IDS:
        strings[sid] = 'Hint'
    return strings


def document(strings, declared='UTF-8', encoding='utf-8', bom=b'', raw_body=None):
    body = raw_body
    if body is None:
        body = ''.join(f'<{k}>{escape(v)}</{k}>' for k, v in strings.items())
    text = f'<?xml version="1.0" encoding="{declared}"?>\n<language><config>{body}</config></language>\n'
    return bom + text.encode(encoding)


class TempFolder(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp()

    def tearDown(self):
        shutil.rmtree(self.dir)

    def write(self, name, data):
        path = os.path.join(self.dir, name)
        with open(path, 'wb') as f:
            f.write(data)
        return path

    def errors_of(self, data, name='any.xml', reference=None):
        return checker.check_file(self.write(name, data), reference)


class ShippedFiles(unittest.TestCase):
    NAMES = ['sc.xml', 'en.xml', 'fre.xml', 'kor.xml', 'ger.xml', 'ita.xml', 'span.xml',
             'dutch.xml', 'pt.xml', 'rus.xml', 'ukr.xml', 'tw.xml']

    def test_every_file_is_clean_against_english(self):
        reference, errors = checker.load_strings(os.path.join(LANGUAGE_DIR, 'en.xml'))
        self.assertEqual(errors, [])
        for name in self.NAMES:
            with self.subTest(name=name):
                self.assertEqual(checker.check_file(os.path.join(LANGUAGE_DIR, name), reference), [])

    def test_translations_are_not_english_copies(self):
        english, _ = checker.load_strings(os.path.join(LANGUAGE_DIR, 'en.xml'))
        for name in self.NAMES:
            if name == 'en.xml':
                continue
            with self.subTest(name=name):
                strings, _ = checker.load_strings(os.path.join(LANGUAGE_DIR, name))
                same = [sid for sid in checker.STRING_IDS if strings[sid] == english[sid]]
                # Product names, "OK", "Windows 8" and the like may stay as they are.
                self.assertLess(len(same), 12, same)


class ContentFaults(TempFolder):
    def test_a_complete_file_passes_in_every_encoding(self):
        strings = good_strings()
        self.assertEqual(self.errors_of(document(strings)), [])
        self.assertEqual(self.errors_of(document(strings, bom=b'\xef\xbb\xbf')), [])
        self.assertEqual(self.errors_of(document(strings, 'UTF-16', 'utf-16-le', b'\xff\xfe')), [])
        self.assertEqual(self.errors_of(document(strings, 'UTF-16', 'utf-16-be', b'\xfe\xff')), [])

    def test_missing_empty_and_blank_strings_are_reported(self):
        strings = good_strings()
        del strings['str_win']
        strings['str_ok'] = ''
        strings['str_cancel'] = '  \n '
        errors = self.errors_of(document(strings))
        self.assertIn('str_win is missing', errors)
        self.assertIn('str_ok is empty', errors)
        self.assertIn('str_cancel is empty', errors)
        self.assertEqual(len(errors), 3)

    def test_unknown_duplicate_and_nested_elements_are_reported(self):
        body = ''.join(f'<{k}>{v}</{k}>' for k, v in good_strings().items() if k != 'str_run')
        body += '<str_Ok>x</str_Ok><str_help>again</str_help><str_run>a<b>c</b></str_run>'
        errors = self.errors_of(document(None, raw_body=body))
        self.assertIn('unknown id <str_Ok>', errors)  # ids are case-sensitive
        self.assertIn('str_help appears twice', errors)
        self.assertTrue(any(e.startswith('str_run holds child elements') for e in errors))

    def test_conversions_must_match_the_reference(self):
        reference = good_strings()
        strings = dict(reference)
        strings['str_msg2'] = 'Cannot open the file.'
        strings['str_help'] = 'Help %d'
        errors = self.errors_of(document(strings), reference=reference)
        self.assertIn("str_msg2 has conversions none, the reference has ['%s']", errors)
        self.assertIn("str_help has conversions ['%d'], the reference has none", errors)
        strings['str_msg2'] = 'Datei %s: %%'
        strings['str_help'] = 'Help'
        errors = self.errors_of(document(strings), reference=reference)
        self.assertIn("str_msg2 has conversions ['%%', '%s'], the reference has ['%s']", errors)

    def test_escaped_markup_counts_as_text(self):
        strings = good_strings()
        strings['str_about'] = 'About & <Support>'
        self.assertEqual(self.errors_of(document(strings)), [])


class StructureAndEncodingFaults(TempFolder):
    def test_malformed_document(self):
        errors = self.errors_of(document(None, raw_body='<str_ok>OK</str_cancel>'))
        self.assertEqual(len(errors), 1)
        self.assertTrue(errors[0].startswith('not well-formed XML'))

    def test_config_must_appear_once(self):
        data = b'<?xml version="1.0" encoding="UTF-8"?><language><strings/></language>'
        self.assertEqual(self.errors_of(data),
                         ['root <language> holds 0 <config> elements, expected 1'])

    def test_declaration_must_name_the_stored_encoding(self):
        strings = good_strings()
        errors = self.errors_of(document(strings, 'UTF-8', 'utf-16-le', b'\xff\xfe'))
        self.assertIn('declares UTF-8 but is stored as UTF-16', errors)
        errors = self.errors_of(document(strings, 'UTF-16', 'utf-8', b'\xef\xbb\xbf'))
        self.assertIn('declares UTF-16 but is stored as UTF-8', errors)
        no_declaration = document(strings).split(b'\n', 1)[1]
        self.assertIn('no XML declaration naming the encoding', self.errors_of(no_declaration))

    def test_invalid_utf8_bytes(self):
        data = document(good_strings()).replace(b'Text of str_exit', b'Exit \xff\xfe!')
        errors = self.errors_of(data)
        self.assertTrue(any(e.startswith('not valid UTF-8') for e in errors), errors)

    def test_shipped_names_keep_their_encoding(self):
        strings = good_strings()
        errors = self.errors_of(document(strings), name='rus.xml')
        self.assertEqual(errors, ['should be stored as UTF-16 with mark FF FE, is UTF-8 without mark'])
        errors = self.errors_of(document(strings, bom=b'\xef\xbb\xbf'), name='en.xml')
        self.assertEqual(errors, ['should be stored as UTF-8 without mark, is UTF-8 with mark EF BB BF'])


class Room(TempFolder):
    def test_labels_wider_than_their_rectangle(self):
        strings = good_strings()
        strings['str_advanced_exe'] = 'Programm ausführen'
        strings['str_close'] = 'W' * 40
        errors = self.errors_of(document(strings))
        self.assertEqual(len(errors), 2)
        self.assertTrue(any(e.startswith('str_advanced_exe "Programm ausführen" is about')
                            for e in errors), errors)
        self.assertTrue(any(e.startswith('str_close "WWW') for e in errors), errors)

    def test_status_hints_wrap_at_blanks_and_between_wide_characters(self):
        self.assertEqual(checker.wrapped_lines('Profile 1', 246), 1)
        # "word " is about 30 pixels: twelve of them need two lines, twenty need three.
        self.assertEqual(checker.wrapped_lines(' '.join(['word'] * 12), 246), 2)
        self.assertEqual(checker.wrapped_lines(' '.join(['word'] * 20), 246), 3)
        self.assertEqual(checker.wrapped_lines('x' * 80, 246), 3)
        # 20 wide characters fill about 280 pixels: two lines with no blank in between.
        self.assertEqual(checker.wrapped_lines('设' * 20, 246), 2)
        strings = good_strings()
        strings['str_cups'] = '奖' * 40
        errors = self.errors_of(document(strings))
        self.assertEqual(len(errors), 1)
        self.assertIn('takes about 3 lines of the status line', errors[0])


class CommandLine(TempFolder):
    def run_main(self, args):
        out, err = io.StringIO(), io.StringIO()
        with redirect_stdout(out), redirect_stderr(err):
            status = checker.main(args)
        return status, out.getvalue() + err.getvalue()

    def test_folder_with_reference_beside_it(self):
        self.write('en.xml', document(good_strings()))
        broken = good_strings()
        broken['str_msg2'] = 'No file'
        self.write('xx.xml', document(broken))
        status, output = self.run_main([self.dir])
        self.assertEqual(status, 1)
        self.assertIn('xx.xml: str_msg2 has conversions none', output)
        self.assertIn('1 of 2 files clean', output)

    def test_clean_files_and_missing_inputs(self):
        self.write('en.xml', document(good_strings()))
        self.assertEqual(self.run_main([self.dir])[0], 0)
        status, output = self.run_main([os.path.join(self.dir, 'absent.xml')])
        self.assertEqual(status, 1)
        self.assertIn('cannot be read', output)


if __name__ == '__main__':
    unittest.main()
