#!/usr/bin/python3
"""Checks the SiLA server's feature definitions and .proto files.

  check_conformance.py project SOURCE_ROOT SHARED_SILA PUMP_TABLE
      every src/sila/features/*.sila.xml against the schema; src/sila/proto/SiLAFramework.proto
      field by field against the standard's; SiLAService.proto and the proto of each feature
      against what the mapping rules derive from its definition (SiLA Service from the
      standard's); the pump feature against the elements the table lists. Exits 77 (skipped)
      while there is no src/sila.
  check_conformance.py samples SAMPLES SHARED_SILA CASES
      the checks themselves, on the hand-written samples and on copies of them (and of the
      standard's framework) changed as each row of CASES says: each must pass or fail as the
      row expects.

Runs with Debian's /usr/bin/python3, whose python3-protobuf reads protoc's descriptor sets.
"""

import glob
import os
import shutil
import sys
import tempfile
import xml.etree.ElementTree as ElementTree

sys.dont_write_bytecode = True  # nothing written into the source folder
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import sila_conformance as sila  # noqa: E402

SKIPPED = 77
PUMP_FEATURE = "org.zadurovu/pumps/SyringePumpController/v1"


def rows(path):
    """The rows of a table file: fields separated by "|", trimmed; "#" lines and blank ones skipped."""
    with open(path, encoding="utf-8") as table:
        for line in table:
            if line.strip() and not line.lstrip().startswith("#"):
                yield [f.strip() for f in line.rstrip("\n").split("|")]


def check_feature(fdl, proto, include_dirs):
    """The problems of one .proto against the mapping of one feature definition."""
    try:
        expected, _ = sila.expected_from_fdl(fdl)
        return sila.compare(expected, sila.proto_from_descriptors(proto, include_dirs))
    except sila.Problem as problem:
        return [str(problem)]


def check_framework(reference, proto, include_dirs):
    try:
        return sila.compare(sila.proto_from_descriptors(reference, []),
                            sila.proto_from_descriptors(proto, include_dirs))
    except sila.Problem as problem:
        return [str(problem)]


def _base_type(data_type):
    """The basic type a data type travels as, through constraints; "List of T", or the kind."""
    kind = list(data_type)[0]
    tag = kind.tag.replace(sila.NS, "")
    if tag == "Basic":
        return kind.text.strip()
    if tag == "Constrained":
        return _base_type(kind.find(sila.NS + "DataType"))
    if tag == "List":
        return "List of " + _base_type(kind.find(sila.NS + "DataType"))
    return tag


def check_pump_elements(fdl, table):
    """The elements the pump feature must have, with their observability and types."""
    root = ElementTree.parse(fdl).getroot()
    problems = []
    for kind, identifier, observable, types in rows(table):
        found = [e for e in root.findall(sila.NS + kind)
                 if (e.findtext(sila.NS + "Identifier") or "").strip() == identifier]
        if not found:
            problems.append(f"{kind} {identifier} is missing")
            continue
        element = found[0]
        if observable != "-" and (element.findtext(sila.NS + "Observable") or "").strip() != observable:
            problems.append(f"{kind} {identifier}: Observable should be {observable}")
        if kind == "Property" and _base_type(element.find(sila.NS + "DataType")) != types:
            problems.append(f"Property {identifier}: its type should be {types}, it is "
                            f"{_base_type(element.find(sila.NS + 'DataType'))}")
        if kind == "Command" and types != "-":
            for wanted in types.split(","):
                name, basic = wanted.split(":")
                parameters = {(p.findtext(sila.NS + "Identifier") or "").strip(): p
                              for p in element.findall(sila.NS + "Parameter")}
                if name not in parameters:
                    problems.append(f"Command {identifier}: parameter {name} is missing")
                elif _base_type(parameters[name].find(sila.NS + "DataType")) != basic:
                    problems.append(f"Command {identifier}: parameter {name} should be {basic}")
    return problems


def project(source_root, shared, pump_table):
    sila_dir = os.path.join(source_root, "src", "sila")
    if not os.path.isdir(sila_dir):
        print(f"SKIPPED: {sila_dir} does not exist yet, so there is no SiLA server to check")
        return SKIPPED
    if not os.path.isdir(shared):
        print(f"FAILED: the standard's files are not at {shared} (../shared/sila beside the source folder)")
        return 1
    xsd = os.path.join(shared, "schema", "FeatureDefinition.xsd")
    reference = os.path.join(shared, "reference")
    protos = os.path.join(sila_dir, "proto")
    problems = []
    checked = []

    def report(where, found):
        problems.extend(f"{os.path.relpath(where, source_root)}: {p}" for p in found)
        checked.append(os.path.relpath(where, source_root))

    features = sorted(glob.glob(os.path.join(sila_dir, "features", "*.sila.xml")))
    qualified = {}
    for fdl in features:
        report(fdl, sila.validate_fdl(xsd, fdl))
        try:
            expected, name = sila.expected_from_fdl(fdl)
        except sila.Problem as problem:
            report(fdl, [str(problem)])
            continue
        qualified[name] = fdl
        identifier = name.split("/")[2]
        if os.path.basename(fdl) != identifier + ".sila.xml":
            report(fdl, [f"the file of feature {identifier} should be named {identifier}.sila.xml"])
        proto = os.path.join(protos, identifier + ".proto")
        if not os.path.exists(proto):
            report(fdl, [f"there is no {os.path.relpath(proto, source_root)} for it"])
            continue
        report(proto, check_feature(fdl, proto, [protos]))

    framework = os.path.join(protos, "SiLAFramework.proto")
    report(framework, check_framework(os.path.join(reference, "SiLAFramework.proto"), framework, [protos]))
    service = os.path.join(protos, "SiLAService.proto")
    report(service, check_feature(os.path.join(reference, "SiLAService.sila.xml"), service, [protos]))
    own_service = qualified.get("org.silastandard/core/SiLAService/v1")
    if own_service:
        standard, _ = sila.expected_from_fdl(os.path.join(reference, "SiLAService.sila.xml"))
        own, _ = sila.expected_from_fdl(own_service)
        report(own_service, [f"differs from the standard's SiLA Service: {p}" for p in sila.compare(standard, own)])
    if PUMP_FEATURE in qualified:
        report(qualified[PUMP_FEATURE], check_pump_elements(qualified[PUMP_FEATURE], pump_table))
    else:
        problems.append(f"no feature definition in src/sila/features is {PUMP_FEATURE}")

    for problem in problems:
        print("FAILED:", problem)
    print(f"{len(set(checked))} files checked, {len(problems)} problems")
    return 1 if problems else 0


def samples(folder, shared, cases):
    """Each row: name | check | file changed | text replaced | replacement | outcome."""
    if not os.path.isdir(shared):
        print(f"FAILED: the standard's files are not at {shared} (../shared/sila beside the source folder)")
        return 1
    reference = os.path.join(shared, "reference")
    failures = 0
    for name, check, changed, old, new, outcome in rows(cases):
        with tempfile.TemporaryDirectory() as work:
            for sample in glob.glob(os.path.join(folder, "*")):
                shutil.copy(sample, work)
            for standard in glob.glob(os.path.join(reference, "*")):
                shutil.copy(standard, os.path.join(work, "reference-" + os.path.basename(standard)))
            target = os.path.join(work, changed.replace("reference/", "reference-"))
            if old != "-":
                with open(target, encoding="utf-8") as text:
                    content = text.read()
                old_text, new_text = (t.replace("\\n", "\n") for t in (old, "" if new == "(nothing)" else new))
                if old_text not in content:
                    print(f"BROKEN ROW {name}: {old!r} is not in {changed}")
                    failures += 1
                    continue
                with open(target, "w", encoding="utf-8") as text:
                    text.write(content.replace(old_text, new_text))
            # The samples import the framework as the project's protos do, from their own folder.
            shutil.copy(os.path.join(work, "reference-SiLAFramework.proto"), os.path.join(work, "SiLAFramework.proto"))
            if check == "schema":
                found = sila.validate_fdl(os.path.join(shared, "schema", "FeatureDefinition.xsd"), target)
            elif check == "feature":
                found = check_feature(os.path.join(work, "SampleDevice.sila.xml"),
                                      os.path.join(work, "SampleDevice.proto"), [work])
            elif check == "service":
                found = check_feature(os.path.join(work, "reference-SiLAService.sila.xml"),
                                      os.path.join(work, "SiLAService.proto"), [work])
            elif check == "framework":
                found = check_framework(os.path.join(reference, "SiLAFramework.proto"),
                                        os.path.join(work, "reference-SiLAFramework.proto"), [])
            else:
                print(f"BROKEN ROW {name}: no check {check}")
                failures += 1
                continue
        if outcome == "pass":
            good = not found
        else:
            good = any(outcome in problem for problem in found)
        print(("PASS" if good else "FAIL") + f": {name}" + ("" if good else f": expected {outcome!r}, found {found}"))
        failures += not good
    print(f"{failures} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    modes = {"project": project, "samples": samples}
    if len(sys.argv) != 5 or sys.argv[1] not in modes:
        sys.exit(__doc__)
    sys.exit(modes[sys.argv[1]](*sys.argv[2:]))
