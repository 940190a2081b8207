#!/usr/bin/env python3
"""Golden transmit commands of the sonar coprocessor, written independently of the C++ builders.

Each output line is: builder name, speed of sound, the builder's arguments in call order (integers), then the
187-byte command block in hexadecimal. test_sonar reads the committed table (data/tx_blocks.txt), calls the
named builder with those arguments and compares the block byte for byte.

    python3 tests/sonar/tx_blocks.py > tests/sonar/data/tx_blocks.txt     # regenerate (on purpose only)
    python3 tests/sonar/tx_blocks.py --check tests/sonar/data/tx_blocks.txt  # what the CTest runs
"""
import struct
import sys

TIMER, DMA, NONE = 1, 2, 3
LOW = 1
UNUSED_PULSE = (0, 0, NONE, 0, 1)


def pulse(freq, cycles, mode, output, duty):
    return struct.pack('<HBBBB', freq, cycles, mode, output, duty)


def sequence(pulses, power0, power1, samples, rx_freq, bandwidth, rx_enable):
    pulses = list(pulses) + [UNUSED_PULSE] * (3 - len(pulses))
    body = b''.join(pulse(*p) for p in pulses)
    # powers, the two levels (never written), ping rate 0, samples, 50 noise samples, receiver bytes, fail byte
    body += struct.pack('<BBBBBHHBBBB', power0, power1, 0, 0, 0, samples, 50, rx_freq, bandwidth, rx_enable, 0)
    assert len(body) == 31
    return body


def block(sequences):
    data = b''.join(sequences)
    return data + bytes(186 - len(data)) + bytes([len(sequences)])


# Receiver codes: the first receiver on the low beam (50 kHz below 60 kHz, else 83 kHz), the second on 200 kHz.
def low_code(freq):
    return 3 if freq < 60 else 1


def d1_code(freq):
    return 0 if freq > 150 else low_code(freq)


def d1(code, bw):
    return code, bw & 3, 0xFD


def d2(bw):
    return 8, (bw & 3) << 2, 0xF5


def plf(freq_lf, bw200, bwlf):
    return 8 + low_code(freq_lf), ((bw200 << 2) & 0xF) | (bwlf & 3), 0xF5


def phf(code, bw_down, bw455):
    return code, (bw_down & 3) | (bw455 & 3) << 2 | (bw455 & 3) << 4, 0xE9


def sid(bw):
    return 0, (bw & 3) << 2 | (bw & 3) << 4, 0xEB


def down(freq, cycles, no_tx):
    return (freq, cycles, NONE if no_tx else TIMER, 1, 1)


def side(freq, cycles, no_tx):
    return (freq, cycles, NONE if no_tx else DMA, 6, 0)


def short_tx(speed, layout):
    samples = (int(40000000.0 / speed) + 13) // 26
    rx = d2(3) if layout == 'D2' else d1(0, 3)
    return sequence([(400, 1, DMA, 1, 1)], LOW, LOW, samples & 0xFFFF, *rx)


def single_down(cyc, pw, bw, samp, freq, receiver, no_tx):
    rx = d2(bw) if receiver and freq > 150 else d1(d1_code(freq), bw)
    return sequence([down(freq, cyc, no_tx)], pw, pw, samp, *rx)


def par_lf(c200, b200, s200, f200, p200, clf, blf, slf, flf, plf_pw, no_tx):
    return sequence([down(flf, clf, no_tx), down(f200, c200, no_tx)], plf_pw, p200, max(s200, slf),
                    *plf(flf, b200, blf))


def d1_seq(cyc, pw, bw, samp, freq, no_tx):
    return sequence([down(freq, cyc, no_tx)], pw, pw, samp, *d1(d1_code(freq), bw))


def par_high(code, c_down, p_down, b_down, s_down, f_down, c455, p455, b455, s455, f455, no_tx):
    return sequence([side(f455, c455, no_tx), down(f_down, c_down, no_tx)], p_down, p455, max(s_down, s455),
                    *phf(code, b_down, b455))


def with_short(speed, seqs, enable, layout):
    return block(seqs + ([short_tx(speed, layout)] if enable else []))


# Builders, each taking (speed, *args) in the C++ argument order.
def b_single_down(speed, cyc, pw, bw, samp, freq, receiver, no_tx, _bb):
    return block([single_down(cyc, pw, bw, samp, freq, receiver, no_tx)])


def b_single_down_short(speed, cyc, pw, bw, samp, freq, receiver, no_tx, _bb, short):
    return with_short(speed, [single_down(cyc, pw, bw, samp, freq, receiver, no_tx)], short, 'D2')


def b_short(speed, cyc, pw, bw, samp, freq):
    return block([sequence([(freq, cyc, DMA, 1, 1)], pw, pw, samp, *d1(0, bw))])


def b_par_lf(speed, c200, b200, s200, f200, p200, clf, blf, slf, flf, plf_pw, no_tx, _bb):
    return block([par_lf(c200, b200, s200, f200, p200, clf, blf, slf, flf, plf_pw, no_tx)])


def b_par_lf_short(speed, c200, b200, s200, f200, p200, clf, blf, slf, flf, plf_pw, no_tx, _bb, short):
    return with_short(speed, [par_lf(c200, b200, s200, f200, p200, clf, blf, slf, flf, plf_pw, no_tx)], short, 'D2')


def b_200_short(speed, c200, p200, b200, s200, f200, no_tx, short):
    return with_short(speed, [sequence([down(f200, c200, no_tx)], p200, p200, s200, *d1(0, b200))], short, 'D1')


def b_200_alt_lf_short(speed, c200, p200, b200, s200, f200, clf, plf_pw, blf, slf, flf, no_tx, _bb, short):
    seqs = [d1_seq(clf, plf_pw, blf, slf, flf, no_tx),
            sequence([down(f200, c200, no_tx)], p200, p200, s200, *d1(0, b200))]
    return with_short(speed, seqs, short, 'D1')


def b_200_alt_lf_short_tx(speed, c200, p200, b200, s200, f200, clf, plf_pw, blf, slf, flf, no_tx, short):
    seqs = [sequence([down(f200, c200, no_tx)], p200, p200, s200, *d1(0, b200)),
            d1_seq(clf, plf_pw, blf, slf, flf, no_tx)]
    return with_short(speed, seqs, short, 'D1')


def b_par_high(speed, c200, p200, b200, s200, f200, c455, p455, b455, s455, f455, no_tx):
    return block([par_high(0, c200, p200, b200, s200, f200, c455, p455, b455, s455, f455, no_tx)])


def b_par_high_short(speed, c200, p200, b200, s200, f200, c455, p455, b455, s455, f455, no_tx, short):
    seqs = [par_high(0, c200, p200, b200, s200, f200, c455, p455, b455, s455, f455, no_tx)]
    return with_short(speed, seqs, short, 'D1')


def alt_lf_par_high(c200, p200, b200, s200, f200, clf, plf_pw, blf, slf, flf, c455, p455, b455, s455, f455, no_tx):
    return [par_high(0, c200, p200, b200, s200, f200, c455, p455, b455, s455, f455, no_tx),
            par_high(low_code(flf), clf, plf_pw, blf, slf, flf, c455, p455, b455, s455, f455, no_tx)]


def b_alt_lf_par_high(speed, *args):
    return block(alt_lf_par_high(*args))


def b_alt_lf_par_high_short(speed, *args):
    return with_short(speed, alt_lf_par_high(*args[:-1]), args[-1], 'D1')


def b_ss(speed, _beam, cyc, pw, bw, samp, freq, no_tx):
    return block([sequence([side(freq, cyc, no_tx)], pw, pw, samp, *sid(bw))])


def b_mss(speed, beam, cyc, pw, bw, samp, freq):
    return block([sequence([(freq, cyc, DMA, 2 if beam == 2 else 4, 1)], pw, pw, samp, *sid(bw))])


BUILDERS = {
    'S_COPROC_vBuildTxSequenceForSingleDown': b_single_down,
    'S_COPROC_vBuildTxSequenceForSingleDownAltShortTransmit': b_single_down_short,
    'S_COPROC_vBuildTxSequenceForShortTransmit': b_short,
    'S_COPROC_vBuildTxSequence200kHzParLF': b_par_lf,
    'S_COPROC_vBuildTxSequence200kHzParLFAltShortTransmit': b_par_lf_short,
    'S_COPROC_vBuildTxSequence200kHzAltShortTransmit': b_200_short,
    'S_COPROC_vBuildTxSequence200kHzAltLFAltShortTransmit': b_200_alt_lf_short,
    'S_COPROC_vBuildTxSequence200kHzAltLFAltShortTx': b_200_alt_lf_short_tx,
    'S_COPROC_vBuildTxSequence200kHzParHighFrequency': b_par_high,
    'S_COPROC_vBuildTxSequence200kHzParHighFrequencyAltShortTransmit': b_par_high_short,
    'S_COPROC_vBuildTxSequence200kHzAltLFParHighFrequency': b_alt_lf_par_high,
    'S_COPROC_vBuildTxSequence200kHzAltLFParHighFrequencyAltShortTx': b_alt_lf_par_high_short,
    'S_COPROC_vBuildSingleBeamSSPing455kHzLR': b_ss,
    'S_COPROC_vBuildSingleBeamMSSPing455kHzLR': b_mss,
}

# Argument sets: (builder, speed of sound, arguments in call order). Powers 1-3, bandwidths up to 7.
CASES = [
    # single down beam: 200 kHz on the first receiver, the second receiver above 150 kHz only
    ('S_COPROC_vBuildTxSequenceForSingleDown', 1463, [12, 2, 1, 3000, 200, 0, 0, 236]),
    ('S_COPROC_vBuildTxSequenceForSingleDown', 1463, [12, 2, 5, 3000, 200, 1, 0, 236]),
    ('S_COPROC_vBuildTxSequenceForSingleDown', 1463, [10, 1, 2, 1500, 150, 1, 0, 236]),
    ('S_COPROC_vBuildTxSequenceForSingleDown', 1463, [10, 1, 6, 1500, 151, 1, 0, 236]),
    ('S_COPROC_vBuildTxSequenceForSingleDown', 1463, [8, 3, 3, 20000, 83, 0, 1, 236]),
    ('S_COPROC_vBuildTxSequenceForSingleDown', 1463, [4, 3, 2, 30000, 59, 0, 0, 236]),
    ('S_COPROC_vBuildTxSequenceForSingleDown', 1463, [4, 3, 2, 30000, 60, 1, 0, 236]),
    ('S_COPROC_vBuildTxSequenceForSingleDown', 1463, [7, 2, 2, 1000, 50, 0, 0, 236]),
    ('S_COPROC_vBuildTxSequenceForSingleDownAltShortTransmit', 1463, [12, 2, 1, 3000, 200, 0, 0, 236, 1]),
    ('S_COPROC_vBuildTxSequenceForSingleDownAltShortTransmit', 1500, [12, 2, 7, 3000, 200, 1, 1, 236, 1]),
    ('S_COPROC_vBuildTxSequenceForSingleDownAltShortTransmit', 1463, [12, 2, 1, 3000, 83, 0, 1, 236, 0]),
    ('S_COPROC_vBuildTxSequenceForShortTransmit', 1463, [1, 1, 7, 1052, 400]),
    ('S_COPROC_vBuildTxSequenceForShortTransmit', 1463, [3, 2, 2, 800, 200]),
    # 200 kHz with the low beam in parallel: 50 and 83 kHz, the 60 kHz threshold, bandwidths above 3
    ('S_COPROC_vBuildTxSequence200kHzParLF', 1463, [12, 1, 5000, 200, 2, 8, 2, 6000, 83, 3, 0, 236]),
    ('S_COPROC_vBuildTxSequence200kHzParLF', 1463, [12, 7, 5000, 200, 2, 8, 7, 4000, 50, 3, 0, 236]),
    ('S_COPROC_vBuildTxSequence200kHzParLF', 1463, [12, 2, 5000, 200, 1, 8, 3, 4000, 59, 1, 1, 236]),
    ('S_COPROC_vBuildTxSequence200kHzParLF', 1463, [12, 2, 5000, 200, 1, 8, 3, 4000, 60, 1, 1, 236]),
    ('S_COPROC_vBuildTxSequence200kHzParLFAltShortTransmit', 1463, [12, 1, 5000, 200, 2, 8, 2, 6000, 83, 3, 0, 236, 1]),
    ('S_COPROC_vBuildTxSequence200kHzParLFAltShortTransmit', 1500, [9, 6, 100, 200, 3, 20, 5, 50, 50, 3, 1, 236, 1]),
    ('S_COPROC_vBuildTxSequence200kHzParLFAltShortTransmit', 1463, [12, 1, 5000, 200, 2, 8, 2, 6000, 83, 3, 0, 236, 0]),
    ('S_COPROC_vBuildTxSequence200kHzAltShortTransmit', 1463, [12, 3, 1, 5000, 200, 0, 1]),
    ('S_COPROC_vBuildTxSequence200kHzAltShortTransmit', 1500, [12, 3, 6, 5000, 200, 1, 1]),
    ('S_COPROC_vBuildTxSequence200kHzAltShortTransmit', 1463, [12, 3, 1, 5000, 200, 1, 0]),
    # 200 kHz and the low beam one after the other
    ('S_COPROC_vBuildTxSequence200kHzAltLFAltShortTransmit', 1463,
     [12, 2, 1, 5000, 200, 8, 3, 2, 7000, 83, 0, 236, 1]),
    ('S_COPROC_vBuildTxSequence200kHzAltLFAltShortTransmit', 1463,
     [12, 2, 5, 5000, 200, 8, 3, 6, 7000, 50, 1, 236, 0]),
    ('S_COPROC_vBuildTxSequence200kHzAltLFAltShortTx', 1463, [12, 2, 1, 5000, 200, 8, 3, 2, 7000, 83, 0, 1]),
    ('S_COPROC_vBuildTxSequence200kHzAltLFAltShortTx', 1500, [12, 1, 7, 5000, 200, 3, 3, 7, 7000, 55, 1, 1]),
    ('S_COPROC_vBuildTxSequence200kHzAltLFAltShortTx', 1463, [12, 2, 1, 5000, 200, 8, 3, 2, 7000, 60, 0, 0]),
    # 200 kHz (and the low beam) with the 455 kHz side beams
    ('S_COPROC_vBuildTxSequence200kHzParHighFrequency', 1463, [12, 2, 1, 4000, 200, 40, 3, 2, 9000, 455, 0]),
    ('S_COPROC_vBuildTxSequence200kHzParHighFrequency', 1463, [12, 2, 5, 9000, 200, 40, 3, 6, 4000, 455, 1]),
    ('S_COPROC_vBuildTxSequence200kHzParHighFrequencyAltShortTransmit', 1463,
     [12, 2, 1, 4000, 200, 40, 3, 2, 9000, 455, 0, 1]),
    ('S_COPROC_vBuildTxSequence200kHzParHighFrequencyAltShortTransmit', 1500,
     [12, 2, 1, 4000, 200, 40, 3, 2, 9000, 455, 1, 1]),
    ('S_COPROC_vBuildTxSequence200kHzParHighFrequencyAltShortTransmit', 1463,
     [12, 2, 1, 4000, 200, 40, 3, 2, 9000, 455, 0, 0]),
    ('S_COPROC_vBuildTxSequence200kHzAltLFParHighFrequency', 1463,
     [12, 2, 1, 4000, 200, 8, 3, 2, 6000, 83, 40, 3, 3, 9000, 455, 0]),
    ('S_COPROC_vBuildTxSequence200kHzAltLFParHighFrequency', 1463,
     [12, 2, 5, 4000, 200, 8, 1, 6, 6000, 50, 17, 3, 7, 3000, 455, 1]),
    ('S_COPROC_vBuildTxSequence200kHzAltLFParHighFrequencyAltShortTx', 1463,
     [12, 2, 1, 4000, 200, 8, 3, 2, 6000, 83, 40, 3, 3, 9000, 455, 0, 1]),
    ('S_COPROC_vBuildTxSequence200kHzAltLFParHighFrequencyAltShortTx', 1500,
     [12, 2, 1, 4000, 200, 8, 3, 2, 6000, 59, 7, 3, 3, 9000, 800, 1, 1]),
    ('S_COPROC_vBuildTxSequence200kHzAltLFParHighFrequencyAltShortTx', 1463,
     [12, 2, 1, 4000, 200, 8, 3, 2, 6000, 83, 40, 3, 3, 9000, 455, 0, 0]),
    # side beams alone
    ('S_COPROC_vBuildSingleBeamSSPing455kHzLR', 1463, [2, 40, 3, 2, 20000, 455, 0]),
    ('S_COPROC_vBuildSingleBeamSSPing455kHzLR', 1463, [3, 17, 2, 7, 20000, 800, 1]),
    ('S_COPROC_vBuildSingleBeamMSSPing455kHzLR', 1463, [2, 40, 3, 2, 20000, 455]),
    ('S_COPROC_vBuildSingleBeamMSSPing455kHzLR', 1463, [3, 40, 3, 5, 20000, 455]),
]


def lines():
    for name, speed, args in CASES:
        data = BUILDERS[name](speed, *args)
        assert len(data) == 187, name
        yield '%s %d %s %s' % (name, speed, ' '.join(str(a) for a in args), data.hex())


def main(argv):
    text = ''.join(line + '\n' for line in lines())
    if len(argv) == 2 and argv[0] == '--check':
        with open(argv[1]) as f:
            if f.read() != text:
                sys.stderr.write('%s differs from what %s writes\n' % (argv[1], sys.argv[0]))
                return 1
        return 0
    sys.stdout.write(text)
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
