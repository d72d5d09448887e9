# A filled roster read back as the platforms read it (Python's csv module):
# every cell but the password (and the added hash) as it was, the lines above
# the header and the byte order mark kept, each hash the password's, each
# password within the platform's rule; with the passwords and hashes taken
# out, the file is the input byte for byte. Prints how many rows were filled.
#   roster_roundtrip.py INPUT OUTPUT COLUMN DELIMITER SHORTEST KINDS
import crypt, csv, io, sys

source, filled, column, delimiter, shortest, kinds = sys.argv[1:]


def load(path):
    raw = open(path, 'rb').read()
    text = raw.decode('utf-8-sig')
    lead = text[:text.index('\n') + 1] if text.startswith('version:') else ''
    return raw, lead, list(csv.reader(io.StringIO(text[len(lead):], newline=''), delimiter=delimiter))


raw_in, lead_in, rows_in = load(source)
raw_out, lead_out, rows_out = load(filled)
assert raw_in[:3] == raw_out[:3] and lead_in == lead_out, 'the start of the file changed'
p = rows_out[0].index(column)
h = rows_out[0].index('Hash') if 'Hash' in rows_out[0] else None
rest, at, made = raw_out.replace((delimiter + 'Hash').encode(), b'', 1), 0, 0
for before, after in zip(rows_in[1:], rows_out[1:], strict=True):
    if not any(before) or before[p]:  # blank, or left alone (Entra's example, Google's ****)
        assert before == after
        continue
    password, hashed, kept = after[p], after[h] if h else '', list(after)
    kept[p] = ''
    if h:
        del kept[h]
        assert crypt.crypt(password, hashed) == hashed, 'the hash is not the password\'s'
    # A row shorter than the header gains empty cells up to the hash.
    padding = len(kept) - len(before)
    assert kept == before + [''] * padding, f'{before} became {after}'
    assert len(password) >= int(shortest), password
    assert sum(any(f(c) for c in password) for f in (str.islower, str.isupper, str.isdigit,
                                                     lambda c: not c.isalnum())) >= int(kinds), password
    if any(c in password for c in delimiter + '"\r\n'):
        password = '"' + password.replace('"', '""') + '"'
    for taken in [password.encode()] + ([(delimiter * (padding + 1) + hashed).encode()] if h else []):
        at = rest.index(taken, at)
        rest = rest[:at] + rest[at + len(taken):]
    made += 1
assert rest == raw_in, 'bytes other than the passwords changed'
print(made)
