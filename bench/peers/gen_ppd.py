# Generates the peer benchmark's PPD: 60 options x 6 choices (defaults on the first),
# N random constraints between two options' non-default choices, fixed seed.
# Usage: gen_ppd.py OPTIONS CHOICES CONSTRAINTS > FILE.PPD
import random, sys
random.seed(7)
nopt=int(sys.argv[1]); nch=int(sys.argv[2]); ncons=int(sys.argv[3])
print('*PPD-Adobe: "4.3"\n*FormatVersion: "4.3"\n*FileVersion: "1.0"\n*LanguageVersion: English\n*LanguageEncoding: ISOLatin1\n*PCFileName: "BENCH.PPD"\n*Manufacturer: "Bench"\n*Product: "(Bench)"\n*ModelName: "Bench"\n*ShortNickName: "Bench"\n*NickName: "Bench"\n*PSVersion: "(3010.000) 0"\n*LanguageLevel: "3"\n*ColorDevice: False\n*DefaultColorSpace: Gray\n*FileSystem: False\n*Throughput: "1"\n*LandscapeOrientation: Plus90\n*TTRasterizer: Type42')
print('*OpenUI *PageSize: PickOne\n*DefaultPageSize: A4\n*PageSize A4/A4: "<</PageSize[595 842]>>setpagedevice"\n*PageSize Letter/Letter: "<</PageSize[612 792]>>setpagedevice"\n*CloseUI: *PageSize')
print('*DefaultImageableArea: A4\n*ImageableArea A4/A4: "0 0 595 842"\n*ImageableArea Letter/Letter: "0 0 612 792"\n*DefaultPaperDimension: A4\n*PaperDimension A4/A4: "595 842"\n*PaperDimension Letter/Letter: "612 792"')
for o in range(nopt):
    print(f'*OpenUI *Opt{o}/Option {o}: PickOne\n*DefaultOpt{o}: C0')
    for c in range(nch):
        print(f'*Opt{o} C{c}/Choice {c}: ""')
    print(f'*CloseUI: *Opt{o}')
for i in range(ncons):
    a=random.randrange(nopt); b=random.randrange(nopt)
    while b==a: b=random.randrange(nopt)
    print(f'*UIConstraints: *Opt{a} C{random.randrange(1,nch)} *Opt{b} C{random.randrange(1,nch)}')
