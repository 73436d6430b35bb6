#!/usr/bin/python3
"""Checks the language files of assets/Language before they ship.

For every file: the byte-order mark agrees with the encoding named in the XML declaration (and,
for the twelve shipped names, with the encoding that file is meant to have), the document is
well-formed, its root holds one `config` element, and `config` holds every one of the 202 string
ids exactly once, each non-empty, without child elements and without unknown ids. The printf
conversions (%s, %d ...) of every string must be those of the same string in the reference file
(en.xml beside the checked files unless --reference says otherwise), and texts drawn into fixed
rectangles must fit by a rough estimate of their width in the 14-pixel dialog font.

Usage: check_language_files.py [--reference FILE] [FILE_OR_FOLDER ...]
With no arguments the folder assets/Language of this repository is checked. Exit status 0 when
every file is clean, 1 otherwise.
"""

import argparse
import os
import re
import sys
import unicodedata
import xml.etree.ElementTree as ET

# The string ids in the order the program loads them.
STRING_IDS = """
str_program_title str_company str_config str_about str_exit str_mouse_page str_performance_page
str_led_page str_macro_page str_msg1 str_msg2 str_msg3 str_msg4 str_msg5 str_msg6 str_msg7
str_resetinfo str_reset str_ok str_cancel str_apply str_help str_combo_tips str_combo_title
str_macro_manager str_macro_msg1 str_macro_msg2 str_macro_msg4 str_macro_msg6 str_macro_msg7
str_macro_msg8 str_macro_end str_macro_start str_new_macro str_del_macro str_macro_loop
str_macro_delay str_macro_modify str_macro_list str_macro_editor str_macro_new str_macro_del
str_macro_event str_click str_menu str_middle str_dbclick str_mac_def str_base_fun str_combokey
str_advance str_media str_pre str_back str_scrollup str_scrolldw str_PL str_stop str_pre_media
str_next_media str_vol_up str_vol_dw str_mute str_close str_lock str_run str_show str_zoomin
str_zoomout str_cut str_copy str_past str_all str_find str_new str_print str_save str_undo
str_dpititle str_rate str_sheight str_probar_title str_probar_msg1 str_profile_title str_autopath
str_autoswitch str_defaultname str_proname str_led_title str_led_off str_led_preSet
str_led_diySet str_led_brealways str_led_norbre str_led_apmbre str_led_normal str_led_body_on
str_led_body_off str_led_backgroundEffect str_led_rollerEffect str_led_brightness str_led_wave
str_led_single str_led_quickFlash str_led_slowFlash str_led_custom str_led_frequency
str_led_stacking str_led_scrolling str_led_selectAll str_led_setSeparately str_advanced_open
str_advanced_sound str_advanced_exe str_advanced_file str_advanced_dir str_advanced_web
str_advanced_address str_onekeystart str_screenshot str_screenshot_screen str_screenshot_win
str_screenshot_area str_mousefun str_win8 str_disable str_win8_start str_win8_classic
str_win8_switch str_win8_find str_win8_winp str_win8_winm str_mode1 str_mode2 str_mode3
str_mode_office str_mode_FPS str_mode_MOBA str_update str_update_success str_update_fail
str_update_msg1 str_update_msg2 str_update_msg3 str_update_msg4 str_updateerror
str_updateerror1 str_updateerror2 str_updating str_fwrecoverS str_fwrecoverF str_profile1
str_profile2 str_profile3 str_profile4 str_profile5 str_level1 str_level2 str_level3 str_level4
str_fwcurrent_version str_tips str_soft_version str_xyindependent str_more str_main str_sts
str_rollingrate str_dpiwant str_30sheight str_ledspe str_resetSts str_cups str_quorvWeb
str_importFile str_exportFile str_doubleClick_test str_doubleClick_speed str_rollerScreen
str_rollerColumn str_rollerSpeed str_mouseSpeed str_improveAccuracy str_macro_switchOnOff
str_macro_pressedPlay str_mouseleft str_mousemiddle str_mouseright str_player str_dpi_up
str_dpi_dw str_snipe str_twicefire str_threefoldfire str_DpiSwitch str_InputSwitch
str_MovetoEnd str_MovetoHome str_number1 str_number2 str_number3 str_win
""".split()

# How each shipped file is stored: (byte-order mark, encoding named in its declaration).
UTF8, UTF8_BOM, UTF16LE_BOM = ('', 'UTF-8'), ('EF BB BF', 'UTF-8'), ('FF FE', 'UTF-16')
SHIPPED_ENCODINGS = {
    'en.xml': UTF8, 'ger.xml': UTF8, 'ita.xml': UTF8, 'dutch.xml': UTF8,
    'sc.xml': UTF8_BOM, 'fre.xml': UTF8_BOM, 'span.xml': UTF8_BOM, 'pt.xml': UTF8_BOM,
    'tw.xml': UTF16LE_BOM, 'kor.xml': UTF16LE_BOM, 'rus.xml': UTF16LE_BOM, 'ukr.xml': UTF16LE_BOM,
}

# Texts drawn into fixed places, with the room they get in pixels.
# The status line of the main window: 246 pixels wide, two lines of the 14-pixel font.
STATUS_LINE_WIDTH, STATUS_LINE_LINES = 246, 2
STATUS_HINT_IDS = """
str_profile1 str_profile2 str_profile3 str_profile4 str_profile5 str_ok str_main str_led_title
str_macro_manager str_sts str_about str_rollingrate str_dpiwant str_sheight str_rollerColumn
str_xyindependent str_mode_office str_mode_MOBA str_mode_FPS str_led_preSet str_led_diySet
str_led_off str_led_brealways str_led_norbre str_led_apmbre str_ledspe str_new_macro
str_del_macro str_macro_new str_macro_del str_macro_modify str_macro_start str_macro_delay
str_macro_loop str_macro_msg6 str_macro_msg7 str_click str_middle str_menu str_resetSts
str_cups str_update str_quorvWeb str_defaultname str_rollerScreen str_mouseSpeed
str_improveAccuracy str_doubleClick_speed str_doubleClick_test str_dpititle
str_led_backgroundEffect str_led_rollerEffect str_led_body_on str_led_body_off
str_led_brightness str_led_frequency str_macro_switchOnOff str_macro_pressedPlay
str_importFile str_exportFile
""".split()
# One-line texts: the labels of the advanced actions (86 pixels) and the rows of the basic
# function list (372 pixels less its scroll bar).
SINGLE_LINE_WIDTHS = {
    'str_advanced_sound': 86, 'str_advanced_exe': 86, 'str_advanced_file': 86,
    'str_advanced_dir': 86,
}
BASE_LIST_WIDTH = 352
BASE_LIST_IDS = """
str_close str_lock str_run str_show str_win8_classic str_win8_switch str_win8_winp
str_win8_winm str_find str_mouseleft str_mousemiddle str_mouseright str_pre str_back
str_dbclick str_player str_PL str_stop str_pre_media str_next_media str_vol_dw str_vol_up
str_mute str_dpi_up str_dpi_dw str_snipe str_twicefire str_threefoldfire str_win str_DpiSwitch
str_InputSwitch str_MovetoEnd str_MovetoHome str_number1 str_number2 str_number3
""".split()
for _id in BASE_LIST_IDS:
    SINGLE_LINE_WIDTHS[_id] = BASE_LIST_WIDTH

PRINTF_CONVERSION = re.compile(
    r'%(?:%|[-+ #0]*(?:\d+|\*)?(?:\.(?:\d+|\*))?(?:hh|h|ll|l|L|z|j|t|I64|I32)?[diouxXeEfgGaAcsSpn])')

# Approximate advance widths of the 14-pixel dialog font.
_NARROW = set("il.,;:'!|Ijtf()[]` ")
_WIDE_LATIN = set('mwMW@%')


def char_width(ch):
    """Rough advance of one character in pixels."""
    if unicodedata.east_asian_width(ch) in ('W', 'F'):
        return 14
    if ch in _NARROW:
        return 4
    if ch in _WIDE_LATIN:
        return 11
    if ch == 'r':
        return 5
    if ch.isupper():
        return 8
    return 7


def text_width(text):
    return sum(char_width(c) for c in text)


def wrapped_lines(text, width):
    """Number of lines the text takes when broken at blanks (and between wide characters)."""
    tokens = []
    for word in text.split(' '):
        # Wide characters may break anywhere, so each one is a token of its own.
        piece = ''
        for ch in word:
            if unicodedata.east_asian_width(ch) in ('W', 'F'):
                if piece:
                    tokens.append((piece, False))
                    piece = ''
                tokens.append((ch, True))
            else:
                piece += ch
        if piece:
            tokens.append((piece, False))
        tokens.append((' ', False))
    lines, used = 1, 0
    for token, _ in tokens:
        w = text_width(token)
        if token == ' ':
            used += w
            continue
        if used and used + w > width:
            lines += 1
            used = 0
        # A single token wider than the line still takes whole lines of its own.
        while w > width:
            lines += 1
            w -= width
        used += w
    return lines


def placeholders(text):
    return sorted(PRINTF_CONVERSION.findall(text))


def sniff_encoding(data):
    """(byte-order mark name, encoding named in the declaration) of the raw file."""
    if data.startswith(b'\xef\xbb\xbf'):
        bom, body = 'EF BB BF', data[3:].decode('utf-8', 'replace')
    elif data.startswith(b'\xff\xfe'):
        bom, body = 'FF FE', data[2:].decode('utf-16-le', 'replace')
    elif data.startswith(b'\xfe\xff'):
        bom, body = 'FE FF', data[2:].decode('utf-16-be', 'replace')
    else:
        bom, body = '', data[:1024].decode('utf-8', 'replace')
    match = re.match(r'<\?xml[^>]*\bencoding\s*=\s*["\']([^"\']+)["\']', body)
    return bom, (match.group(1) if match else '')


def check_encoding(name, data):
    errors = []
    bom, declared = sniff_encoding(data)
    if not declared:
        errors.append('no XML declaration naming the encoding')
    elif bom in ('', 'EF BB BF') and declared.upper() != 'UTF-8':
        errors.append(f'declares {declared} but is stored as UTF-8')
    elif bom in ('FF FE', 'FE FF') and declared.upper() != 'UTF-16':
        errors.append(f'declares {declared} but is stored as UTF-16')
    if bom == '':
        try:
            data.decode('utf-8')
        except UnicodeDecodeError as e:
            errors.append(f'not valid UTF-8 at byte {e.start}')
    expected = SHIPPED_ENCODINGS.get(name)
    if expected and (bom, declared.upper()) != expected:
        want = f'{expected[1]} with mark {expected[0]}' if expected[0] else f'{expected[1]} without mark'
        got = f'{declared or "?"} with mark {bom}' if bom else f'{declared or "?"} without mark'
        errors.append(f'should be stored as {want}, is {got}')
    return errors


def read_strings(data):
    """Parses the document; returns (strings by id in file order, errors)."""
    try:
        root = ET.fromstring(data)
    except ET.ParseError as e:
        return {}, [f'not well-formed XML: {e}']
    errors = []
    configs = root.findall('config')
    if len(configs) != 1:
        return {}, [f'root <{root.tag}> holds {len(configs)} <config> elements, expected 1']
    strings = {}
    for element in configs[0]:
        sid = element.tag
        if sid not in STRING_IDS:
            errors.append(f'unknown id <{sid}>')
            continue
        if sid in strings:
            errors.append(f'{sid} appears twice')
            continue
        if len(element):
            errors.append(f'{sid} holds child elements (the program would read it as empty)')
        strings[sid] = ''.join(element.itertext()) if len(element) else (element.text or '')
    return strings, errors


def check_strings(strings, reference=None):
    errors = []
    for sid in STRING_IDS:
        if sid not in strings:
            errors.append(f'{sid} is missing')
            continue
        text = strings[sid]
        if not text.strip():
            errors.append(f'{sid} is empty')
            continue
        if reference is not None and sid in reference:
            want, got = placeholders(reference[sid]), placeholders(text)
            if want != got:
                errors.append(f'{sid} has conversions {got or "none"}, the reference has {want or "none"}')
        if sid in SINGLE_LINE_WIDTHS and text_width(text) > SINGLE_LINE_WIDTHS[sid]:
            errors.append(f'{sid} "{text}" is about {text_width(text)} pixels wide, '
                          f'room for {SINGLE_LINE_WIDTHS[sid]}')
        if sid in STATUS_HINT_IDS:
            lines = wrapped_lines(text, STATUS_LINE_WIDTH)
            if lines > STATUS_LINE_LINES:
                errors.append(f'{sid} "{text}" takes about {lines} lines of the status line, '
                              f'room for {STATUS_LINE_LINES}')
    return errors


def load_strings(path):
    with open(path, 'rb') as f:
        return read_strings(f.read())


def check_file(path, reference=None):
    """All faults found in one language file, as a list of messages."""
    try:
        with open(path, 'rb') as f:
            data = f.read()
    except OSError as e:
        return [f'cannot be read: {e.strerror}']
    errors = check_encoding(os.path.basename(path), data)
    strings, parse_errors = read_strings(data)
    errors += parse_errors
    if strings or not parse_errors:
        errors += check_strings(strings, reference)
    return errors


def expand(paths):
    files = []
    for p in paths:
        if os.path.isdir(p):
            files += sorted(os.path.join(p, n) for n in os.listdir(p) if n.endswith('.xml'))
        else:
            files.append(p)
    return files


def main(argv=None):
    here = os.path.dirname(os.path.abspath(__file__))
    default_folder = os.path.normpath(os.path.join(here, '..', '..', 'assets', 'Language'))
    parser = argparse.ArgumentParser(description='Check the language files.')
    parser.add_argument('--reference', help='file whose conversions every file must match '
                        '(default: en.xml beside the first checked file)')
    parser.add_argument('paths', nargs='*', default=[default_folder])
    args = parser.parse_args(argv)

    files = expand(args.paths)
    if not files:
        print('no language files found', file=sys.stderr)
        return 1
    ref_path = args.reference or os.path.join(os.path.dirname(files[0]), 'en.xml')
    reference = None
    if os.path.exists(ref_path):
        reference, ref_errors = load_strings(ref_path)
        if ref_errors:
            print(f'{ref_path}: reference unusable: {ref_errors[0]}', file=sys.stderr)
            return 1
    else:
        print(f'{ref_path}: no reference file; conversions are not compared', file=sys.stderr)

    failed = 0
    for path in files:
        errors = check_file(path, reference)
        if errors:
            failed += 1
            for e in errors:
                print(f'{path}: {e}')
        else:
            print(f'{path}: ok')
    print(f'{len(files) - failed} of {len(files)} files clean')
    return 1 if failed else 0


if __name__ == '__main__':
    sys.exit(main())
