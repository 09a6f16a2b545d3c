"""Splitting a FASTA input into shards and gathering the predictors' outputs
of the shards into the files one run on one machine writes.

The scanner reports miRNA by miRNA (in the order of its miRNA file), then
target by target; the site finder gene by gene with one running group number.
Shards are contiguous runs of records, so interleaving the scanner's blocks
per miRNA and renumbering the site finder's groups gives back, byte for byte,
what one run over the whole input writes.
"""

import gzip


def open_text(path):
    """The file's bytes as latin-1 text (one character per byte), gzip or not."""
    with open(path, "rb") as probe:
        gzipped = probe.read(2) == b"\x1f\x8b"
    return (gzip.open if gzipped else open)(path, "rt", encoding="latin-1", newline="")


def records(path):
    """The input's records, each as its raw lines (header first). Text before
    the first header stays with the first record."""
    record = []
    with open_text(path) as text:
        for line in text:
            if line.lstrip(" ").startswith(">") and any(l.lstrip(" ").startswith(">") for l in record[:1]):
                yield record
                record = []
            record.append(line)
    if record:
        yield record


def split(path, outputs):
    """Writes the records into len(outputs) shards of about equal length,
    in input order."""
    lengths = [sum(len(line) for line in record) for record in records(path)]
    total = sum(lengths) or 1
    files = [open(out, "w", encoding="latin-1", newline="") for out in outputs]
    written = 0
    for record, length in zip(records(path), lengths):
        # A record goes to the shard its middle falls in.
        shard = min(len(files) - 1, (written + length // 2) * len(files) // total)
        files[shard].writelines(record)
        written += length
    for file in files:
        file.close()


def merge_site_finder(shard_outputs, out):
    """One header, the shards' sites in order, the group numbers run on."""
    group = 0
    header = None
    with open(out, "w", encoding="latin-1", newline="") as merged:
        for path in shard_outputs:
            with open(path, encoding="latin-1", newline="") as shard:
                first = shard.readline()
                if header is None:
                    header = first
                    merged.write(header)
                for line in shard:
                    fields = line.split("\t")
                    group += 1
                    fields[7] = str(group)
                    merged.write("\t".join(fields))


def scanner_blocks(path):
    """The banner and the pair blocks (miRNA id, lines) of a scanner output."""
    with open(path, encoding="latin-1", newline="") as text:
        lines = text.read().split("\n")
    banner, blocks, block, mirna = [], [], None, None
    for line in lines:
        if line.startswith("Read Sequence:"):
            block = [line]
            continue
        if block is None:
            if line.startswith("Scan Complete"):
                break
            banner.append(line)
            continue
        block.append(line)
        if line.startswith("Performing Scan: "):
            mirna = line[len("Performing Scan: "):].split(" vs ")[0]
        if line == "" and block[-2] == "Complete":
            blocks.append((mirna, block))
            block = None
    return banner, blocks


def count_targets(path):
    with open(path, encoding="latin-1", newline="") as text:
        return sum(1 for line in text if line.startswith(">"))


def mirna_order(mirna_fasta):
    with open(mirna_fasta, encoding="latin-1", newline="") as text:
        return [line[1:].split()[0] for line in text if line.startswith(">") and line[1:].split()]


def merge_scanner(shard_outputs, shard_inputs, mirna_fasta, query_path, reference_path, out):
    """The shards' pair blocks, miRNA by miRNA, with the target counts of the
    summary lines continued across shards and the banner naming the files
    one run would name."""
    offsets, offset = [], 0
    for path in shard_inputs:
        offsets.append(offset)
        offset += count_targets(path)
    banner, by_mirna = None, {}
    for shard, path in enumerate(shard_outputs):
        shard_banner, blocks = scanner_blocks(path)
        banner = banner or shard_banner
        for mirna, block in blocks:
            by_mirna.setdefault(mirna, []).append((offsets[shard], block))
    for i, line in enumerate(banner):
        if line.startswith("Query Filename:"):
            banner[i] = "Query Filename:\t\t" + query_path
        elif line.startswith("Reference Filename:"):
            banner[i] = "Reference Filename:\t" + reference_path
    with open(out, "w", encoding="latin-1", newline="") as merged:
        merged.write("\n".join(banner) + "\n")
        for mirna in mirna_order(mirna_fasta):
            for shard_offset, block in by_mirna.get(mirna, []):
                for line in block:
                    if line.startswith(">>"):
                        fields = line.split("\t")
                        fields[6] = str(int(fields[6]) + shard_offset)
                        line = "\t".join(fields)
                    merged.write(line + "\n")
        merged.write("Scan Complete\n\n")
