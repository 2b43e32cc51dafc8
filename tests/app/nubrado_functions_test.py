#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""nubrado's folder, contact, terminal and player functions, driven headless
with scripted keys.

Usage: nubrado_functions_test.py NUBRADO SCENARIO [TOOLS_DIR]

The runs, the fake tools and the local cloud service are those of
nubrado_session_test.py: every run happens in a PID namespace of its own.
Scenarios against fake tools check the words each function sends to the
client and its answer to each reply, success and failure; scenarios
against the local cloud service check what the functions leave in the
service (contacts, shares, syncs, links) and on the drive.
"""

import os
import re
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from nubrado_session_test import (  # noqa: E402
    LEAVE, LOCAL_NOTICE, PROMPT_ANA, PROMPT_DEMO, SKIP, START, Failure, Skip, client_calls, expect,
    expect_lines, files_of, install_local_service, lay_out_fake_tools, lay_out_listing,
    run_nubrado, run_scenario_from_arguments, without_noise, write_program)

DEV = os.environ.get("NUBRADO_TEST_SHOW")

# Notes the arguments of each start ("|" after each), then prints the
# answer beside it.
FAKE_SYNC = """#!/bin/sh
here=$(dirname "$0")
printf '%s|' "$@" >> "$here/sync-log"
echo >> "$here/sync-log"
cat "$0.answer" 2>/dev/null
exit 0
"""

# The fake client of nubrado_session_test.py, answering from the file
# "answer-COMMAND FIRSTWORD" when there is one, else "answer-COMMAND", so
# that "users -n" and "users -d" can answer differently.
def fake_client_by_word(tools):
    path = os.path.join(tools, "megaclient")
    with open(path, encoding="utf-8") as f:
        text = f.read()
    text = text.replace('if [ -f "$here/answer-$command" ]; then\n    cp "$here/answer-$command" "$out"',
                        'if [ -f "$here/answer-$command $item" ]; then\n    cp "$here/answer-$command $item" "$out"\n'
                        'elif [ -f "$here/answer-$command" ]; then\n    cp "$here/answer-$command" "$out"')
    expect("answer-$command $item" in text, "the fake client's answer lines have changed")
    write_program(path, text)


def show(run):
    if DEV:
        import json
        show.count = getattr(show, "count", 0) + 1
        with open(f"{DEV}.{show.count}", "w") as f:
            json.dump(without_noise(run.console), f)


def sync_calls(tools):
    path = os.path.join(tools, "sync-log")
    if not os.path.exists(path):
        return []
    with open(path, encoding="utf-8") as f:
        return [line.split("|")[:-1] for line in f.read().splitlines()]

ROOT = ["Nível 0", "4 ítens", "Selecione com setas", "Para ajuda, aperte f1"]
SYNC_ASK = ["Sincronizar. Qual sua Opção?", "Para ajuda, pressione f1"]
PENDING = ["Listando contatos pendentes.", "Para ajuda, pressione f1"]
LISTED = ["Listando contatos.", "Para remover o contato selecionado, aperte r.",
          "Para sair da lista de contatos, aperte escape."]
CONTACTS_ASK = ["Gerenciar contatos. Qual sua opção?"]
LEVEL = ["Informe o nível de acesso para este usuário:", "0 - somente leitura;", "1 - Leitura e escrita;",
         "2 - acesso total;", "3 - acesso de proprietário;"]


def words_sent(tools):
    """The client's command lines without the result file option."""
    calls = client_calls(tools)
    for call in calls:
        expect(call[-2] == "-o", f"a command without its result file: {call}")
    return [call[:-2] for call in calls]


SUCCESS_ANSWERS = {
    "answer-users": "[1] bia@exemplo.com.br. Name: Bia. Verified: yes\n    | Documentos (full access)\n"
                    "sem colchete\n[2] caio@exemplo.com.br. Name: Caio. Verified: no\n",
    "answer-share": "Shared /Documentos : bia@exemplo.com.br accessLevel=3\n",
    "answer-export": "Exported /Documentos: https://nuvem.invalid/link/ABC\n",
    "answer-sync": "ID  LOCALPATH  REMOTEPATH  STATUS\n1  \\\\?\\C:\\sync\\Documentos /Documentos  Running  Synced\n",
    "answer-pwd": "/\n",
    "answer-df": "Cloud drive:\nUSED STORAGE:   1.50 GB   7.50% of 20.00 GB\n",
    "answer-masterkey": "CHAVE123\n",
    "answer-import": "Import file complete: /relatório.txt\n",
    "answer-invite": "Invitation sent to bia@exemplo.com.br\n",
    "answer-showpcr": "Incoming PCRs:\n bia@exemplo.com.br\t(id: 123, sent: hoje) message: oi\n",
    "answer-ipc": "Accepted invitation by bia@exemplo.com.br\n",
}

SUCCESS_KEYS = ("d{Down}cNova{Enter}c{Enter}"
                "pa53r{Down}s{Esc}"
                "ex"
                "s{F1}ac:\\sync{Enter}dxs{Esc}"
                "{Home}sac:\\sync{Enter}ps{Esc}"
                "{End}as{Esc}"
                "qkxk{Esc}ihttps://nuvem.invalid/link/ABC{Enter}"
                "tebia@exemplo.com.br{Enter}Olá, Bia{Enter}"
                "pasrxs{F1}{Esc}"
                "lrn{Esc}{F9}{Down}{Down}{Enter}{Esc}{F1}{Esc}"
                "/echo um{Enter}{Enter}FIM{Enter}"
                "{Del}{Esc}s")


def scenario_functions_answers(nubrado, scratch, tools_dir):
    """Every function of the listing and of the prompt against a client that
    answers as the service does when all goes well: the messages, and the
    words each one sends."""
    drive = os.path.join(scratch, "c")
    tools = lay_out_fake_tools(drive, client=SUCCESS_ANSWERS)
    lay_out_listing(tools)
    write_program(os.path.join(tools, "mega-sync"), FAKE_SYNC)
    run = run_nubrado(nubrado, drive, SUCCESS_KEYS, scratch)
    show(run)
    expect(run.status == 0, f"exit status {run.status}", run)
    expect_lines(run, ['Nubrado - interface de acesso ao mega via lumera versão 5']
    + PROMPT_ANA
    + ['Aguarde']
    + ROOT
    + ['Nome do diretório a criar:', 'Nova', 'Diretório criado.']
    + ROOT
    + ['Nome do diretório a criar:', 'Desistiu.']
    + ROOT
    + ['Gerenciar compartilhamento de pasta', 'Aguarde', 'Selecione um usuário e tecle:',
       'a - para adicionar ou modificar compartilhamento;', 'r - para remover compartilhamento;',
       'Esc - para sair desse menu;']
    + LEVEL
    + LEVEL
    + ['Compartilhamento ativo.', 'Continue selecionando ou tecle esc.',
       'Deseja parar o compartilhamento da pasta Documentos com bia@exemplo.com.br?',
       'Deseja parar o compartilhamento da pasta Documentos com bia@exemplo.com.br?', 'Compartilhamento parado.',
       'Continue selecionando ou tecle esc.', 'Aguarde']
    + ROOT
    + ['Criando link de download:', 'Link criado e copiado para a área de transferência.',
       'Excluindo link de download:', 'Link de download excluído.']
    + SYNC_ASK
    + ['Tecle a para ativar sincronização.', 'p para pausar temporariamente.',
       'r para retomar sincronização pausada.', 'd para desativar sincronização.',
       'Esc para sair do menu de sincronização.']
    + SYNC_ASK
    + ['Informe o caminho da pasta local para sincronizar com a pasta remota.',
       'A pasta local será criada, caso ela não existir', 'c:\\sync', 'Sincronização ativada.']
    + SYNC_ASK
    + ['deseja desativar a sincronização da pasta Documentos?',
       'deseja desativar a sincronização da pasta Documentos?', 'Sincronização desativada.']
    + SYNC_ASK
    + SYNC_ASK
    + ['Informe o caminho da pasta local para sincronizar com a pasta remota.',
       'A pasta local será criada, caso ela não existir', 'c:\\sync', 'Sincronização ativada.']
    + SYNC_ASK
    + ['deseja pausar a sincronização da pasta @Fotos da Bia?',
       'Esta pasta remota não está sincronizada com nenhuma pasta local.']
    + SYNC_ASK
    + ['Confirma exclusão de notas.txt?', 'Conteúdo excluído.']
    + ROOT
    + PROMPT_ANA
    + ['Tamanho total: 20.00 GB', 'Espaço utilizado: 1.50 GB (7.50%)']
    + PROMPT_ANA
    + ['Aguarde.', 'Caso você perca a senha de sua conta, só é possível recuperá-la tendo a chave mestra.',
       'Sua chave mestra é:', 'CHAVE123',
       'Aperte uma tecla para copiá-la para a área de transferência, ou escape para não copiar.',
       'Chave mestra copiada para a área de transferência.', 'Agora, você pode salvá-la em um local seguro.']
    + PROMPT_ANA
    + ['Aguarde.', 'Caso você perca a senha de sua conta, só é possível recuperá-la tendo a chave mestra.',
       'Sua chave mestra é:', 'CHAVE123',
       'Aperte uma tecla para copiá-la para a área de transferência, ou escape para não copiar.']
    + PROMPT_ANA
    + ['Importar.', 'Entre com a url do que deseja importar', 'https://nuvem.invalid/link/ABC',
       'Importado com sucesso!/relatório.txt']
    + PROMPT_ANA
    + CONTACTS_ASK
    + ['Digite o e-mail da pessoa que você quer convidar:', 'bia@exemplo.com.br',
       'Se desejar, escreva uma mensagem para enviar a quem você vai convidar, ou apenas aperte enter.', 'Olá, Bia',
       'Enviando convite, aguarde...', 'Convite enviado.',
       'A pessoa deverá aceitar seu convite para fazer parte de seus contatos.']
    + CONTACTS_ASK
    + PENDING
    + ['Confirma a aceitação do convite de bia@exemplo.com.br', 'Convite de bia@exemplo.com.br foi aceito.']
    + PENDING
    + ['Confirma a recusa do convite de bia@exemplo.com.br?', 'Confirma a recusa do convite de bia@exemplo.com.br?',
       'Erro ao recusar convite.', 'Accepted invitation by bia@exemplo.com.br']
    + PENDING
    + ['Opções:', 'a - aceitar convite do contato selecionado.', 'r - recusar convite do contato selecionado',
       'esc - sair da lista de convites pendentes']
    + CONTACTS_ASK
    + LISTED
    + ['Confirma a remoção do usuário bia@exemplo.com.br?']
    + LISTED
    + CONTACTS_ASK
    + ['Verificar se há convites pendeListar contatos']
    + LISTED
    + CONTACTS_ASK
    + ['Opções:', 'e - enviar convite.', 'p - verificar se há convites pendentes.', 'l - listar contatos']
    + CONTACTS_ASK
    + PROMPT_ANA
    + ["Para sair, digite 'fim'", 'Digite o comando', 'echo um', 'um', 'Digite o comando', 'Digite o comando', 'FIM',
       'Saindo do modo terminal.']
    + PROMPT_ANA
    + ['Reiniciando os programas em segundo plano. Aguarde.', 'Pronto.']
    + PROMPT_ANA
    + ['Confirma fim?', 'Até logo.'])
    sync = os.path.join(drive, "sync")
    listed = "ID  LOCALPATH"
    expect(words_sent(tools) == [
        ["mkdir", "-p", "Nova"], ["users", "-n"],
        ["share", "-a", "--with=bia@exemplo.com.br", "--level=3", "Documentos"],
        ["share", "-d", "--with=bia@exemplo.com.br", "Documentos"],
        ["export", "-a", "-f", "Documentos"], ["export", "-d", "Documentos"],
        ["sync", os.path.join(sync, "Documentos"), "Documentos"], ["pwd"], ["sync", "--path-display-size=1024"],
        ["sync", os.path.join(sync, "Fotos da Bia"), "//from/bia@exemplo.com.br:Fotos da Bia"],
        ["sync", "--path-display-size=1024"],
        ["rm", "notas.txt"], ["df", "-h"], ["masterkey"], ["masterkey"], ["import", "https://nuvem.invalid/link/ABC"],
        ["invite", "bia@exemplo.com.br", "--message=Olá, Bia"], ["showpcr", "--in"],
        ["ipc", "-a", "bia@exemplo.com.br"], ["users", "--verify", "bia@exemplo.com.br"], ["showpcr", "--in"],
        ["ipc", "-d", "bia@exemplo.com.br"], ["showpcr", "--in"],
        ["users", "-n"], ["users", "-n"], ["users", "-n"]], f"the client got {words_sent(tools)}", run)
    del listed
    # The local folder is the one of the sync listing, from its "\\?\".
    deactivated = sync_calls(tools)
    expect(len(deactivated) == 1 and deactivated[0][0] == "-d" and deactivated[0][1].endswith("C:/sync/Documentos"),
           f"mega-sync got {deactivated}", run)
    for folder in ("Documentos", "Fotos da Bia"):
        expect(os.path.isdir(os.path.join(sync, folder)), f"the local folder {folder} was not made", run)
    expect(not os.path.exists(os.path.join(sync, "@Fotos da Bia")), "the shared folder's \"@\" was kept", run)
    asked = "speak: Aperte uma tecla para copiá-la para a área de transferência, ou escape para não copiar."
    after = [run.speech[i + 1] for i, line in enumerate(run.speech) if line == asked]
    expect(after == ["sound: <beep>", "speak: Nubrado - ana@exemplo.com.br"],
           f"a key beeps and copies, Esc does neither: {after}", run)
    with open(os.path.join(drive, "nubrado", "nubrado-comandos.txt"), encoding="cp1252") as f:
        expect(f.read().splitlines() == ["echo um", "um"], "the terminal's log", run)
    with open(os.path.join(tools, "server-starts")) as f:
        expect(f.read().count("started") == 2, "Del did not start the server again", run)


FAILURE_ANSWERS = {
    "answer-mkdir": "[API:err: Folder exists]\n",
    "answer-users -n": SUCCESS_ANSWERS["answer-users"],
    "answer-users --unverify": "Unverified bia@exemplo.com.br\n",
    "answer-users -d": "[API:err: Not a contact]\n",
    "answer-share": "[API:err: Access denied]\n",
    "answer-export": "[API:err: Not found]\n",
    "answer-sync": "[API:err: Local path not found]\n",
    "answer-sync --path-display-size=1024": SUCCESS_ANSWERS["answer-sync"],
    "answer-pwd": "/\n",
    "answer-rm": "[API:err: Unable to delete folder: /Documentos. Use -r to delete it]\n",
    "answer-df": "Cloud drive:\n",
    "answer-masterkey": "[API:err: Not logged in.]\n",
    "answer-import": "[API:err: Invalid link]\n",
    "answer-invite": "[API:err: Already a contact]\n",
    "answer-showpcr": SUCCESS_ANSWERS["answer-showpcr"],
    "answer-ipc": "Rejected invitation by bia@exemplo.com.br\n",
}

FAILURE_KEYS = ("d{End}{Down}asxep{Enter}{Esc}"
                "d{Down}cNova{Enter}"
                "pa3rs{Esc}"
                "ex"
                "sac:\\nubrado\\megacmd\\megaclient\\x{Enter}ac:\\sync{Enter}dsrs{Esc}"
                "as{Esc}"
                "qkihttps://nuvem.invalid/link/XYZ{Enter}"
                "tebia@exemplo.com.br{Enter}{Enter}"
                "pasrs{Esc}"
                "l{End}{Down}r{Up}rs{Esc}{Esc}"
                "{Esc}s")


def scenario_functions_failures(nubrado, scratch, tools_dir):
    """The same functions when the service refuses: each one's failure
    message with the service's answer, the delete retried with "-r -f",
    and nothing copied for a link or a master key that did not come. Past
    the last item of the listing or of the contacts nothing is selected,
    and the keys that act on an item do nothing there."""
    drive = os.path.join(scratch, "c")
    tools = lay_out_fake_tools(drive, client=FAILURE_ANSWERS)
    fake_client_by_word(tools)
    lay_out_listing(tools)
    write_program(os.path.join(tools, "mega-sync"), FAKE_SYNC)
    with open(os.path.join(tools, "mega-sync.answer"), "w") as f:
        f.write("[API:err: Sync not found]\n")
    run = run_nubrado(nubrado, drive, FAILURE_KEYS, scratch)
    show(run)
    expect(run.status == 0, f"exit status {run.status}", run)
    expect_lines(run, ['Nubrado - interface de acesso ao mega via lumera versão 5']
    + PROMPT_ANA
    + ['Aguarde']
    + ROOT
    + PROMPT_ANA
    + ['Aguarde']
    + ROOT
    + ['Nome do diretório a criar:', 'Nova', 'Erro ao criar diretório.', 'Mensagem do mega:',
       '[API:err: Folder exists]']
    + ROOT
    + ['Gerenciar compartilhamento de pasta', 'Aguarde', 'Selecione um usuário e tecle:',
       'a - para adicionar ou modificar compartilhamento;', 'r - para remover compartilhamento;',
       'Esc - para sair desse menu;']
    + LEVEL
    + ['Erro na solicitação de compartilhamento.', 'Mensagem do mega:', '[API:err: Access denied]',
       'Continue selecionando ou tecle esc.',
       'Deseja parar o compartilhamento da pasta Documentos com bia@exemplo.com.br?',
       'Erro ao solicitar parada de compartilhamento.', 'Mensagem do mega:', '[API:err: Access denied]',
       'Continue selecionando ou tecle esc.', 'Aguarde']
    + ROOT
    + ['Criando link de download:', 'Erro ao criar link de download.', 'Mensagem do mega:', '[API:err: Not found]',
       'Excluindo link de download:', 'Não existe link de download para esse conteúdo.']
    + SYNC_ASK
    + ['Informe o caminho da pasta local para sincronizar com a pasta remota.',
       'A pasta local será criada, caso ela não existir', 'c:\\nubrado\\megacmd\\megaclient\\x',
       'Não foi possível criar a pasta local para sincronizar']
    + SYNC_ASK
    + ['Informe o caminho da pasta local para sincronizar com a pasta remota.',
       'A pasta local será criada, caso ela não existir', 'c:\\sync', 'Erro ao tentar ativar sincronização.',
       'Mensagem do mega:', '[API:err: Local path not found]']
    + SYNC_ASK
    + ['deseja desativar a sincronização da pasta Documentos?', 'Erro ao tentar desativar sincronização.',
       'Mensagem do mega:', '[API:err: Sync not found]']
    + SYNC_ASK
    + ['deseja retomar a sincronização da pasta Documentos?', 'Erro ao tentar retomar sincronização.',
       'Mensagem do mega:', '[API:err: Sync not found]']
    + SYNC_ASK
    + ['Confirma exclusão de Documentos?', 'Não foi possível apagar o conteúdo solicitado.',
       'Mensagem do mega: [API:err: Unable to delete folder: /Documentos. Use -r to delete it]']
    + ROOT
    + PROMPT_ANA
    + ['Erro ao tentar obter informações sobre espaço na nuvem.']
    + PROMPT_ANA
    + ['Aguarde.', 'Erro ao obter a chave mestra.', 'Mensagem do mega:', '[API:err: Not logged in.]']
    + PROMPT_ANA
    + ['Importar.', 'Entre com a url do que deseja importar', 'https://nuvem.invalid/link/XYZ',
       'Erro ao importar conteúdo', 'Verifique o link fornecido e tente novamente.']
    + PROMPT_ANA
    + CONTACTS_ASK
    + ['Digite o e-mail da pessoa que você quer convidar:', 'bia@exemplo.com.br',
       'Se desejar, escreva uma mensagem para enviar a quem você vai convidar, ou apenas aperte enter.',
       'Enviando convite, aguarde...', 'Erro ao enviar convite.', 'Mensagem do mega:', '[API:err: Already a contact]']
    + CONTACTS_ASK
    + PENDING
    + ['Confirma a aceitação do convite de bia@exemplo.com.br', 'Erro ao aceitar convite.',
       'Rejected invitation by bia@exemplo.com.br']
    + PENDING
    + ['Confirma a recusa do convite de bia@exemplo.com.br?', 'Convite de bia@exemplo.com.br foi recusado']
    + PENDING
    + CONTACTS_ASK
    + LISTED
    + ['Confirma a remoção do usuário caio@exemplo.com.br?', 'Unverified bia@exemplo.com.br',
       'Erro ao remover contato.', 'Mensagem do mega:', '[API:err: Not a contact]']
    + LISTED
    + CONTACTS_ASK
    + PROMPT_ANA
    + ['Confirma fim?', 'Até logo.'])
    sent = words_sent(tools)
    expect(sent[0] == ["mkdir", "-p", "Nova"], f"an action ran without an item: {sent[0]}", run)
    expect([call for call in sent if call[:2] == ["users", "-d"]] == [["users", "-d", "caio@exemplo.com.br"]],
           "only the contact chosen is removed", run)
    expect(["rm", "Documentos"] in sent and sent[sent.index(["rm", "Documentos"]) + 1] == ["rm", "-r", "-f", "Documentos"],
           f"the folder's delete was not retried with -r -f: {sent}", run)
    expect(["invite", "bia@exemplo.com.br", "--message="] in sent, "the empty message is sent too", run)
    expect(["users", "--unverify", "caio@exemplo.com.br"] in sent, "the removal unverifies first", run)
    expect([call[0] for call in sync_calls(tools)] == ["-d", "-r"], "mega-sync's words", run)


def state_lines(data, kind):
    """The state file's lines of one kind, split at the tabs, without the kind."""
    with open(os.path.join(data, "state.txt"), encoding="utf-8") as f:
        return [line.split("\t")[1:] for line in f.read().splitlines() if line.startswith(kind + "\t")]


def log_in(user, password=""):
    """The keys that log in from the prompt: a typed name and password, or
    (no password) the name chosen from the list of known users."""
    if password:
        return "l" + user + "{Enter}" + password + "{Enter}"
    return "l{Enter}" + "{Down}" * user + "{Enter}"


CONTACT_KEYS = ("tpasl{Esc}{Esc}"
                "d{Down}{Down}{Down}p{Down}a53{Esc}{Esc}"
                + log_in("joao@nubrado.local", "joao") + "d{Esc}/mega-mount{Enter}fim{Enter}"
                + log_in(1) + "tl{Down}rs{Esc}{Esc}"
                + log_in("joao@nubrado.local", "joao") + "d{Esc}tedemo@nubrado.local{Enter}Vamos de novo?{Enter}{Esc}"
                + log_in(1) + "tprxs{Esc}"
                "{Esc}s")


def scenario_cloud_contacts(nubrado, scratch, tools_dir):
    """Two accounts of the local service: demo accepts João's invitation,
    shares a folder with him (the level question asks again on "5" and
    takes "3"), João sees it at his root as a shared folder; demo removes
    him, João invites again with a message, and demo rejects it."""
    drive = os.path.join(scratch, "c")
    data = install_local_service(tools_dir, drive)
    run = run_nubrado(nubrado, drive, CONTACT_KEYS, scratch)
    show(run)
    expect(run.status == 0, f"exit status {run.status}", run)
    expect_lines(run, ['Nubrado - interface de acesso ao mega via lumera versão 5',
                       'Atenção: as ferramentas instaladas são o serviço local de testes, não o serviço real do mega.',
                       'Nubrado - demo@nubrado.local', 'Qual sua opção?']
    + CONTACTS_ASK
    + PENDING
    + ['Confirma a aceitação do convite de joao@nubrado.local', 'Convite de joao@nubrado.local foi aceito.',
       'Não foi encontrado nenhum convite pendente.']
    + CONTACTS_ASK
    + LISTED
    + CONTACTS_ASK
    + ['Nubrado - demo@nubrado.local', 'Qual sua opção?', 'Aguarde', 'Nível 0', '5 ítens', 'Selecione com setas',
       'Para ajuda, aperte f1', 'Gerenciar compartilhamento de pasta', 'Aguarde', 'Selecione um usuário e tecle:',
       'a - para adicionar ou modificar compartilhamento;', 'r - para remover compartilhamento;',
       'Esc - para sair desse menu;']
    + LEVEL
    + LEVEL
    + ['Compartilhamento ativo.', 'Continue selecionando ou tecle esc.', 'Aguarde', 'Nível 0', '5 ítens', 'Selecione com setas', 'Para ajuda, aperte f1', 'Nubrado - demo@nubrado.local', 'Qual sua opção?', 'Conectar', 'Informe seu usuário', 'Ou use setas para mais opções', 'joao@nubrado.local', 'Informe sua senha', '****', 'Aguarde.', 'Conectado.', 'Nubrado - joao@nubrado.local', 'Qual sua opção?', 'Aguarde', 'Nível 0', '1 ítens', 'Selecione com setas', 'Para ajuda, aperte f1', 'Nubrado - joao@nubrado.local', 'Qual sua opção?',
       "Para sair, digite 'fim'", 'Digite o comando', 'mega-mount', 'ROOT on /', 'INBOX on //in', 'RUBBISH on //bin',
       'INSHARE on //from/demo@nubrado.local:Fotos (owner access)', 'Digite o comando', 'fim',
       'Saindo do modo terminal.', 'Nubrado - joao@nubrado.local', 'Qual sua opção?', 'Conectar', 'Informe seu usuário', 'Ou use setas para mais opções', 'Aguarde.', 'Conectado.', 'Nubrado - demo@nubrado.local', 'Qual sua opção?']
    + CONTACTS_ASK
    + LISTED
    + ['Confirma a remoção do usuário joao@nubrado.local?', 'Contact joao@nubrado.local is no longer verified.',
       'Contato removido com sucesso.']
    + LISTED
    + CONTACTS_ASK
    + ['Nubrado - demo@nubrado.local', 'Qual sua opção?', 'Conectar', 'Informe seu usuário',
       'Ou use setas para mais opções', 'joao@nubrado.local', 'Informe sua senha', '****', 'Aguarde.', 'Conectado.',
       'Nubrado - joao@nubrado.local', 'Qual sua opção?', 'Aguarde', 'Nível 0', '0 ítens', 'Selecione com setas',
       'Para ajuda, aperte f1', 'Nubrado - joao@nubrado.local', 'Qual sua opção?']
    + CONTACTS_ASK
    + ['Digite o e-mail da pessoa que você quer convidar:', 'demo@nubrado.local',
       'Se desejar, escreva uma mensagem para enviar a quem você vai convidar, ou apenas aperte enter.',
       'Vamos de novo?', 'Enviando convite, aguarde...', 'Convite enviado.',
       'A pessoa deverá aceitar seu convite para fazer parte de seus contatos.']
    + CONTACTS_ASK
    + ['Nubrado - joao@nubrado.local', 'Qual sua opção?', 'Conectar', 'Informe seu usuário',
       'Ou use setas para mais opções', 'Aguarde.', 'Conectado.', 'Nubrado - demo@nubrado.local', 'Qual sua opção?']
    + CONTACTS_ASK
    + PENDING
    + ['Confirma a recusa do convite de joao@nubrado.local?', 'Confirma a recusa do convite de joao@nubrado.local?',
       'Convite de joao@nubrado.local foi recusado', 'Não foi encontrado nenhum convite pendente.']
    + CONTACTS_ASK
    + ['Nubrado - demo@nubrado.local', 'Qual sua opção?', 'Confirma fim?', 'Até logo.'])
    # Only João's root shows the folder shared with him.
    expect(run.speech.count("speak: @Fotos") == 1, "João's listing did not show the shared folder", run)
    expect(sorted(state_lines(data, "contact")) == [["ana@nubrado.local", "demo@nubrado.local", "0"],
                                                    ["demo@nubrado.local", "ana@nubrado.local", "0"]],
           f"the contacts are {state_lines(data, 'contact')}", run)
    expect(state_lines(data, "invite") == [], f"invitations are left: {state_lines(data, 'invite')}", run)
    expect(all(share[2] != "joao@nubrado.local" for share in state_lines(data, "share")),
           f"the share outlived the contact: {state_lines(data, 'share')}", run)
    mailbox = os.path.join(data, "mailbox", "demo@nubrado.local")
    mails = []
    for name in sorted(os.listdir(mailbox)):
        with open(os.path.join(mailbox, name), encoding="utf-8") as f:
            mails.append(f.read())
    expect(any("Vamos de novo?" in mail for mail in mails), "the invitation's message did not reach demo", run)


def wait_for(condition, what, seconds=60):
    deadline = time.monotonic() + seconds
    while not condition():
        if time.monotonic() > deadline:
            raise Failure("waited in vain for " + what)
        time.sleep(0.1)


def run_server_until(drive, data, checks):
    """Starts the local service's server on the drive's data folder, waits
    for each (condition, what) in turn, and stops it."""
    environment = dict(os.environ, NUBRADO_CLOUD_DATA=data)
    environment.pop("NUBRADO_CLOUD_RATE", None)
    server = subprocess.Popen([os.path.join(drive, "nubrado", "megacmd", "megacmdserver"), "--sync-interval=200"],
                              stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                              env=environment)
    try:
        for check in checks:
            if callable(check):
                check()
            else:
                wait_for(*check)
    finally:
        server.terminate()
        server.wait(10)


SYNC_KEYS = ("d{Down}{Down}spsac:\\sync{Enter}{Esc}{Home}sac:\\sync{Enter}{Esc}{Down}{Down}{Down}sds{Esc}{Esc}"
             "{Esc}s")
SYNC_STEPS_KEYS = ("d{Down}{Down}sps{Esc}{Esc}/mega-sync{Enter}fim{Enter}"
                   "d{Down}{Down}srs{Esc}{Esc}/mega-sync{Enter}fim{Enter}"
                   "d{Down}{Down}sds{Esc}{Home}spsdsps{Esc}{Esc}"
                   "{Esc}s")


def scenario_cloud_sync(nubrado, scratch, tools_dir):
    """Synchronisation with the local service: activation makes the local
    folder and a sub-folder named after the item (a shared folder's without
    its "@", its "//from/" path sent); while the server runs files travel
    both ways; then pause, resume and deactivation, each seen in the
    service's own sync listing, and the answers when nothing is synced."""
    drive = os.path.join(scratch, "c")
    data = install_local_service(tools_dir, drive)
    run = run_nubrado(nubrado, drive, SYNC_KEYS, scratch)
    show(run)
    expect(run.status == 0, f"exit status {run.status}", run)
    expect_lines(run, ['Nubrado - interface de acesso ao mega via lumera versão 5',
                       'Atenção: as ferramentas instaladas são o serviço local de testes, não o serviço real do mega.',
                       'Nubrado - demo@nubrado.local', 'Qual sua opção?', 'Aguarde', 'Nível 0', '5 ítens',
                       'Selecione com setas', 'Para ajuda, aperte f1']
    + SYNC_ASK
    + ['deseja pausar a sincronização da pasta Documentos?', 'Não existem pastas sincronizadas.']
    + SYNC_ASK
    + ['Informe o caminho da pasta local para sincronizar com a pasta remota.',
       'A pasta local será criada, caso ela não existir', 'c:\\sync', 'Sincronização ativada.']
    + SYNC_ASK
    + SYNC_ASK
    + ['Informe o caminho da pasta local para sincronizar com a pasta remota.',
       'A pasta local será criada, caso ela não existir', 'c:\\sync', 'Sincronização ativada.']
    + SYNC_ASK
    + SYNC_ASK
    + ['deseja desativar a sincronização da pasta Fotos?',
       'Esta pasta remota não está sincronizada com nenhuma pasta local.']
    + SYNC_ASK
    + ['Nubrado - demo@nubrado.local', 'Qual sua opção?', 'Confirma fim?', 'Até logo.'])
    sync = os.path.join(drive, "sync")
    shared = "//from/ana@nubrado.local:Fotos da Ana"
    expect(state_lines(data, "sync") == [
        ["1", "demo@nubrado.local", os.path.join(sync, "Documentos"), "/Documentos", "0"],
        ["2", "demo@nubrado.local", os.path.join(sync, "Fotos da Ana"), shared, "0"]],
        f"the service's syncs are {state_lines(data, 'sync')}", run)

    # Both ways while the server runs: the remote files come down, and a
    # file made here goes up, also into the folder Ana shares.
    demo_files = files_of(data, "demo@nubrado.local")
    ana_files = files_of(data, "ana@nubrado.local")

    def exists(*parts):
        return lambda: os.path.exists(os.path.join(*parts))

    def write_local():
        for folder, name in (("Documentos", "daqui.txt"), ("Fotos da Ana", "de-demo.txt")):
            with open(os.path.join(sync, folder, name), "w", encoding="utf-8") as f:
                f.write("feito aqui\n")
    run_server_until(drive, data, [
        (exists(sync, "Documentos", "compras.txt"), "compras.txt to come down"),
        (exists(sync, "Documentos", "Trabalho", "relatório.txt"), "relatório.txt to come down"),
        (exists(sync, "Fotos da Ana", "Viagem", "leia-me.txt"), "Ana's leia-me.txt to come down"),
        write_local,
        (exists(demo_files, "Documentos", "daqui.txt"), "daqui.txt to go up"),
        (exists(ana_files, "Fotos da Ana", "de-demo.txt"), "de-demo.txt to go up into Ana's folder"),
    ])
    with open(os.path.join(sync, "Documentos", "compras.txt"), encoding="utf-8") as f:
        expect(f.read() == "Lista de compras: pão, leite, café.\n", "the synced file's content")

    run = run_nubrado(nubrado, drive, SYNC_STEPS_KEYS, scratch)
    show(run)
    expect(run.status == 0, f"exit status {run.status}", run)
    expect_lines(run, ['Nubrado - interface de acesso ao mega via lumera versão 5',
                       'Atenção: as ferramentas instaladas são o serviço local de testes, não o serviço real do mega.',
                       'Nubrado - demo@nubrado.local', 'Qual sua opção?', 'Aguarde', 'Nível 0', '5 ítens',
                       'Selecione com setas', 'Para ajuda, aperte f1']
    + SYNC_ASK
    + ['deseja pausar a sincronização da pasta Documentos?', 'Sincronização pausada.']
    + SYNC_ASK
    + ['Nubrado - demo@nubrado.local', 'Qual sua opção?', "Para sair, digite 'fim'", 'Digite o comando', 'mega-sync',
       'ID  LOCALPATH  REMOTEPATH  RUN_STATE  STATUS', '1  \\\\?\\C:\\sync\\Documentos /Documentos  Paused  Disabled',
       '2  \\\\?\\C:\\sync\\Fotos da Ana //from/ana@nubrado.local:Fotos da Ana  Running  Synced', 'Digite o comando',
       'fim', 'Saindo do modo terminal.', 'Nubrado - demo@nubrado.local', 'Qual sua opção?', 'Aguarde', 'Nível 0',
       '5 ítens', 'Selecione com setas', 'Para ajuda, aperte f1']
    + SYNC_ASK
    + ['deseja retomar a sincronização da pasta Documentos?', 'Sincronização retomada.']
    + SYNC_ASK
    + ['Nubrado - demo@nubrado.local', 'Qual sua opção?', "Para sair, digite 'fim'", 'Digite o comando', 'mega-sync',
       'ID  LOCALPATH  REMOTEPATH  RUN_STATE  STATUS', '1  \\\\?\\C:\\sync\\Documentos /Documentos  Running  Synced',
       '2  \\\\?\\C:\\sync\\Fotos da Ana //from/ana@nubrado.local:Fotos da Ana  Running  Synced', 'Digite o comando',
       'fim', 'Saindo do modo terminal.', 'Nubrado - demo@nubrado.local', 'Qual sua opção?', 'Aguarde', 'Nível 0',
       '5 ítens', 'Selecione com setas', 'Para ajuda, aperte f1']
    + SYNC_ASK
    + ['deseja desativar a sincronização da pasta Documentos?', 'Sincronização desativada.']
    + SYNC_ASK
    + SYNC_ASK
    + ['deseja pausar a sincronização da pasta @Fotos da Ana?', 'Sincronização pausada.']
    + SYNC_ASK
    + ['deseja desativar a sincronização da pasta @Fotos da Ana?', 'Sincronização desativada.']
    + SYNC_ASK
    + ['deseja pausar a sincronização da pasta @Fotos da Ana?', 'Não existem pastas sincronizadas.']
    + SYNC_ASK
    + ['Nubrado - demo@nubrado.local', 'Qual sua opção?', 'Confirma fim?', 'Até logo.'])
    expect(state_lines(data, "sync") == [], f"syncs are left: {state_lines(data, 'sync')}", run)
    expect(os.path.exists(os.path.join(sync, "Documentos", "compras.txt")), "deactivating removed local files", run)


class Xvfb:
    """A virtual X display for the clipboard, on a display number of its own."""

    def __enter__(self):
        if shutil.which("Xvfb") is None or shutil.which("xclip") is None:
            print("skipped: Xvfb and xclip are needed to read the clipboard back")
            raise Skip()
        read, write = os.pipe()
        self.server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "640x480x24", "-nolisten",
                                        "tcp"], pass_fds=(write,), stdout=subprocess.DEVNULL,
                                       stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as f:
            number = f.readline().strip()
        if not number:
            self.server.kill()
            self.server.wait()
            raise Failure("Xvfb did not start")
        self.saved = os.environ.get("DISPLAY")
        os.environ["DISPLAY"] = ":" + number
        return self

    def __exit__(self, *exception):
        if self.saved is None:
            os.environ.pop("DISPLAY", None)
        else:
            os.environ["DISPLAY"] = self.saved
        self.server.terminate()
        self.server.wait(10)


CLIPBOARD = "xclip -o -selection clipboard"
TERMINAL_CLIPBOARD = "/" + CLIPBOARD + "{Enter}fim{Enter}"


def line_after(run, line, nth=0):
    lines = without_noise(run.console)
    places = [i for i, text in enumerate(lines) if text == line]
    expect(len(places) > nth, f"no line {line!r} (number {nth + 1})", run)
    return lines[places[nth] + 1]


def scenario_cloud_links(nubrado, scratch, tools_dir):
    """With the local service and the window system's clipboard (Xvfb, read
    back with xclip from nubrado's own terminal while it runs): a folder's
    download link and the master key reach the clipboard; João imports the
    link, and a wrong link is refused; demo deletes the link (a second
    delete finds none), deletes the folder with its contents (the retry
    with "-r -f") and sees the quota."""
    drive = os.path.join(scratch, "c")
    data = install_local_service(tools_dir, drive)
    with Xvfb():
        keys = "d{Down}{Down}e{Esc}" + TERMINAL_CLIPBOARD + "k{Enter}" + TERMINAL_CLIPBOARD + "{Esc}s"
        run = run_nubrado(nubrado, drive, keys, scratch, extra_options=("--desktop", "x11"))
    show(run)
    expect(run.status == 0, f"exit status {run.status}", run)
    link = line_after(run, CLIPBOARD, 0)
    key = line_after(run, "Sua chave mestra é:")
    terminal = ["Para sair, digite 'fim'", "Digite o comando", CLIPBOARD]
    expect_lines(run, START + [LOCAL_NOTICE] + PROMPT_DEMO + [
        "Aguarde", "Nível 0", "5 ítens", "Selecione com setas", "Para ajuda, aperte f1",
        "Criando link de download:", "Link criado e copiado para a área de transferência."] + PROMPT_DEMO
        + terminal + [link, "Digite o comando", "fim", "Saindo do modo terminal."] + PROMPT_DEMO + [
        "Aguarde.", "Caso você perca a senha de sua conta, só é possível recuperá-la tendo a chave mestra.",
        "Sua chave mestra é:", key,
        "Aperte uma tecla para copiá-la para a área de transferência, ou escape para não copiar.",
        "Chave mestra copiada para a área de transferência.", "Agora, você pode salvá-la em um local seguro."]
        + PROMPT_DEMO + terminal + [key, "Digite o comando", "fim", "Saindo do modo terminal."] + PROMPT_DEMO + LEAVE)
    expect(re.fullmatch(r"https://nuvem\.invalid/link/\w+", link) is not None, f"the clipboard held {link!r}", run)
    expect(line_after(run, CLIPBOARD, 1) == key and len(key) > 8, f"the clipboard did not hold the key {key!r}", run)
    expect(state_lines(data, "export") == [["demo@nubrado.local", "/Documentos", link.rsplit("/", 1)[1]]],
           f"the exports are {state_lines(data, 'export')}", run)

    keys = log_in("joao@nubrado.local", "joao") + "i" + link + "{Enter}ihttps://nuvem.invalid/link/nada{Enter}{Esc}s"
    run = run_nubrado(nubrado, drive, keys, scratch)
    show(run)
    expect(run.status == 0, f"exit status {run.status}", run)
    joao = ["Nubrado - joao@nubrado.local", "Qual sua opção?"]
    expect_lines(run, START + [LOCAL_NOTICE] + PROMPT_DEMO + [
        "Conectar", "Informe seu usuário", "Ou use setas para mais opções", "joao@nubrado.local", "Informe sua senha",
        "****", "Aguarde.", "Conectado."] + joao + [
        "Importar.", "Entre com a url do que deseja importar", link, "Importado com sucesso!/Documentos"] + joao + [
        "Importar.", "Entre com a url do que deseja importar", "https://nuvem.invalid/link/nada",
        "Erro ao importar conteúdo", "Verifique o link fornecido e tente novamente."] + joao + LEAVE)
    imported = os.path.join(files_of(data, "joao@nubrado.local"), "Documentos", "compras.txt")
    expect(os.path.exists(imported), "the import did not bring the folder", run)

    keys = log_in(1) + "d{Down}{Down}xxas{Esc}q{Esc}s"
    run = run_nubrado(nubrado, drive, keys, scratch)
    show(run)
    expect(run.status == 0, f"exit status {run.status}", run)
    used = line_after(run, "Tamanho total: 20.00 GB")
    expect(re.fullmatch(r"Espaço utilizado: \d+\.\d\d KB \(0\.00%\)", used) is not None, f"the quota said {used!r}", run)
    expect_lines(run, START + [LOCAL_NOTICE, "Nubrado - joao@nubrado.local", "Qual sua opção?",
                               "Conectar", "Informe seu usuário", "Ou use setas para mais opções", "Aguarde.",
                               "Conectado."] + PROMPT_DEMO + [
        "Aguarde", "Nível 0", "5 ítens", "Selecione com setas", "Para ajuda, aperte f1",
        "Excluindo link de download:", "Link de download excluído.",
        "Excluindo link de download:", "Não existe link de download para esse conteúdo.",
        "Confirma exclusão de Documentos?", "Conteúdo excluído.",
        "Nível 0", "4 ítens", "Selecione com setas", "Para ajuda, aperte f1"] + PROMPT_DEMO + [
        "Tamanho total: 20.00 GB", used] + PROMPT_DEMO + LEAVE)
    expect(not os.path.exists(os.path.join(files_of(data, "demo@nubrado.local"), "Documentos")),
           "the folder with contents was not deleted", run)
    expect(state_lines(data, "export") == [], f"the link was not deleted: {state_lines(data, 'export')}", run)


def tone_mp3(path, seconds_each=8):
    """An MP3 of three tones, 440, 880 and 1760 Hz, each for seconds_each
    seconds, made with lame from a wave written here."""
    import math
    import struct
    import wave
    if shutil.which("lame") is None:
        print("skipped: lame is needed to make the MP3")
        raise Skip()
    rate = 22050
    samples = bytearray()
    for i in range(rate * seconds_each * 3):
        t = i / rate
        frequency = (440, 880, 1760)[min(2, int(t // seconds_each))]
        samples += struct.pack("<h", int(16000 * math.sin(2 * math.pi * frequency * t)))
    source = path + ".wav"
    with wave.open(source, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(rate)
        out.writeframes(bytes(samples))
    made = subprocess.run(["lame", "--quiet", "-b", "64", source, path], capture_output=True)
    os.remove(source)
    if made.returncode != 0:
        raise Failure("lame failed: " + made.stderr.decode(errors="replace"))


def heard(recording):
    """The recording cut into tenths of a second, each as (tone, loudness):
    the tone is 440, 880 or 1760 when the zero crossings say so (None
    otherwise), the loudness is the largest sample's distance from the
    middle."""
    import array
    import wave
    with wave.open(recording) as w:
        rate, width, channels = w.getframerate(), w.getsampwidth(), w.getnchannels()
        data = w.readframes(w.getnframes())
    if width == 1:
        samples = array.array("b", bytes((byte - 128) & 0xFF for byte in data))
    else:
        samples = array.array("h", data)
    samples = samples[::channels]
    step = rate // 10
    windows = []
    for start in range(0, len(samples) - step + 1, step):
        part = samples[start:start + step]
        crossings = sum(1 for i in range(1, len(part)) if (part[i - 1] < 0) != (part[i] < 0)) * 5
        tone = next((f for f in (440, 880, 1760) if abs(crossings - f) <= f // 10), None)
        windows.append((tone, max(abs(x) for x in part)))
    return windows


def phases(windows, loud):
    """The order of (tone, "loud" or "soft") phases that last at least two
    tenths, repeated phases merged."""
    order = []
    run, length = None, 0
    for tone, level in windows + [(None, 0)]:
        phase = (tone, "loud" if level >= loud else "soft") if tone else None
        if phase == run:
            length += 1
            continue
        if run and length >= 2 and (not order or order[-1] != run):
            order.append(run)
        run, length = phase, 1
    return order


PLAYER_KEYS = ("d{End}{Enter}{Wait 1500}{Up}{Up}{Down}{Down}{Down}{Wait 800}{Right}{Right}{Wait 800}"
               "{Space}{Wait 1000}{Space}{Wait 800}" + "{Down}" * 50 + "{Up}" * 3 + "{Wait 800}"
               "{End}{Wait 800}{Home}{Wait 800}{Esc}{Esc}{Esc}s")


def scenario_cloud_player(nubrado, scratch, tools_dir):
    """The MP3 player in real time, heard through the recording of --audio:
    an MP3 of three tones is uploaded and played from the listing. The
    volume does not pass 1000 (up twice, down three times leaves 940) nor
    0 (down 50 times, up three times leaves 60); two seeks forward reach
    the second tone long before it would come; pause and resume go on
    from the same tone; End reaches the last tone and Home the first."""
    drive = os.path.join(scratch, "c")
    install_local_service(tools_dir, drive)
    tone_mp3(os.path.join(drive, "tons.mp3"))
    run = run_nubrado(nubrado, drive, "ec:\\tons.mp3{Enter}{Esc}s", scratch)
    expect(run.status == 0 and "Envio concluído." in without_noise(run.console), "the upload", run)
    recording = os.path.join(scratch, "ouvido.wav")
    run = run_nubrado(nubrado, drive, PLAYER_KEYS, scratch, fast=False, extra_options=("--audio", recording),
                      timeout=170)
    show(run)
    expect(run.status == 0, f"exit status {run.status}", run)
    expect_lines(run, START + [LOCAL_NOTICE] + PROMPT_DEMO + [
        "Aguarde", "Nível 0", "6 ítens", "Selecione com setas", "Para ajuda, aperte f1", "Aguarde."]
        + PROMPT_DEMO + LEAVE)
    windows = heard(recording)
    start = sorted(level for tone, level in windows[:12] if tone == 440)
    expect(len(start) >= 6, f"the first tone was not heard at the start: {windows[:12]}", run)
    full = start[len(start) // 2]
    order = phases(windows, full // 2)
    expect(order == [(440, "loud"), (880, "loud"), (880, "soft"), (1760, "soft"), (440, "soft")],
           f"the tones heard were {order}\n{windows}", run)
    first = [level for tone, level in windows if tone == 440 and level >= full // 2]
    expect(round(full * 0.94) - 1 <= min(first) <= round(full * 0.94) + 1,
           f"up at 1000 then down three times: {min(first)} of {full}\n{windows}", run)
    soft = [level for tone, level in windows if tone and level < full // 2]
    expect(all(0 < level <= round(full * 0.06) + 1 for level in soft),
           f"down past 0 then up three times: {soft} of {full}", run)
    second = next(i for i, (tone, level) in enumerate(windows) if tone == 880)
    expect(second < 75, f"the seek forward came at {second / 10} s of sound, as if played through", run)
    temporary = os.listdir(os.path.join(drive, "nubrado", "temp"))
    expect("tons.mp3" not in temporary, f"the played file was left: {temporary}", run)


QUOTED = 'a" "Documentos'


def scenario_names_with_quotes(nubrado, scratch, tools_dir):
    """Names from the cloud are outside input: a name holding a double
    quote, or ending in a backslash, still reaches the client as one word
    (never deleting a second item), and the sync steps, whose line goes
    through cmd, refuse a local path with a quote instead of running it."""
    drive = os.path.join(scratch, "c")
    tools = lay_out_fake_tools(drive, client={
        "answer-pwd": "/\n",
        "answer-sync --path-display-size=1024":
            "ID  LOCALPATH  REMOTEPATH\n1  \\\\?\\C:\\sync\\" + QUOTED + " /" + QUOTED + "  Running  Synced\n",
    })
    fake_client_by_word(tools)
    write_program(os.path.join(tools, "mega-sync"), FAKE_SYNC)
    with open(os.path.join(tools, "mega-ls.answer"), "w", encoding="utf-8") as f:
        f.write(QUOTED + "\npasta\\\n")
    keys = "das{Down}ex{Up}sdsac:\\sync{Enter}{Esc}{Esc}{Esc}s"
    run = run_nubrado(nubrado, drive, keys, scratch)
    show(run)
    expect(run.status == 0, f"exit status {run.status}", run)
    sent = [call for call in words_sent(tools) if call[0] in ("rm", "export", "sync")]
    expect(sent == [["rm", QUOTED], ["export", "-a", "-f", "pasta\\"], ["export", "-d", "pasta\\"],
                    ["sync", "--path-display-size=1024"], ["sync", os.path.join(drive, "sync", QUOTED), QUOTED]],
           f"the client got {sent}", run)
    expect(sync_calls(tools) == [], f"mega-sync ran with a quote in its line: {sync_calls(tools)}", run)
    lines = without_noise(run.console)
    expect(lines[lines.index("deseja desativar a sincronização da pasta " + QUOTED + "?") + 1:][:2] == [
        "Erro ao tentar desativar sincronização.", "O caminho da pasta local tem aspas: use o mega-sync no terminal."],
        "the refusal's message", run)
    expect(os.path.isdir(os.path.join(drive, "sync", QUOTED)), "the local folder was not made", run)


# Every key of the prompt and of the listing, as a new user tries them,
# each followed by the line that shows it did its work.
WALK = [
    ("{F1}", "Esc - sair."),
    ("x", None),
    ("n{Enter}", "Informe seu endereço de e-mail:"),
    ("c{Enter}", "Digite ou cole o link de confirmação da sua conta"),
    ("o", "Desconectando..."),
    ("l{Enter}{Down}{Enter}", "Conectado."),
    ("e{Enter}", "Entre com o caminho do arquivo ou pasta que deseja enviar"),
    ("r{Enter}", "Entre com a url para download"),
    ("t{F1}{F9}{Esc}el{Enter}{Enter}", "Erro ao enviar convite."),
    ("p{F1}{Esc}", "esc - sair da lista de convites pendentes"),
    ("l{Esc}{Esc}", "Para sair da lista de contatos, aperte escape."),
    ("i{Enter}", "Entre com a url do que deseja importar"),
    ("q", "Tamanho total: 20.00 GB"),
    ("k{Esc}", "Sua chave mestra é:"),
    ("/mega-whoami{Enter}fim{Enter}", "Account e-mail: demo@nubrado.local"),
    ("zn", "Deseja continuar?"),
    ("0{Enter}", "Digite ou cole o link para cancelar sua conta:"),
    ("{F9}{Esc}{Down}{Esc}{Up}{Esc}", None),
    ("{F9}" + "{Down}" * 7 + "{Enter}{Enter}", "Entre com a url do que deseja importar"),
    ("{F9}" + "{Down}" * 8 + "{Enter}fim{Enter}", "Saindo do modo terminal."),
    ("{F9}" + "{Down}" * 11 + "{Enter}", "Tamanho total: 20.00 GB"),
    ("{F9}" + "{Down}" * 12 + "{Enter}{Esc}", "Gerenciar contatos. Qual sua opção?"),
    ("{F9}" + "{Down}" * 13 + "{Enter}{Esc}", "Sua chave mestra é:"),
    ("{Del}", "Pronto."),
    ("d{F1}", "s: opções de sincronização"),
    ("{Down}{Down}{Enter}", "Nível 1"),
    ("{Backspace}", "Nível 0"),
    ("{F5}", "Nível 0"),
    ("cPasta nova{Enter}", "Diretório criado."),
    ("{End}pa0{Esc}", "Compartilhamento ativo."),
    ("{End}s{F1}ac:\\sync{Enter}", "Sincronização ativada."),
    ("ps", "Sincronização pausada."),
    ("rs", "Sincronização retomada."),
    ("ds{Esc}", "Sincronização desativada."),
    ("e", "Link criado e copiado para a área de transferência."),
    ("x", "Link de download excluído."),
    ("r{Enter}", "Download concluído."),
    ("as", "Conteúdo excluído."),
    ("w{Home}{Down}r{Enter}", "Download concluído."),
    ("{Down}{Down}{Down}{Enter}", "Nível 1"),
    ("{Enter}{F1}{Up}{Down}{Right}{Left}{Space}{Space}{Home}{End}", "Esc: terminar a execução."),
    ("s", "Link criado e copiado para a área de transferência."),
    ("{Esc}{Backspace}{Esc}", "Nível 0"),
    ("{Esc}s", "Até logo."),
]


def scenario_cloud_walk_every_key(nubrado, scratch, tools_dir, fast=True):
    """One session with the demonstration account that presses every key of
    the prompt and of the listing, the player's too, and the main menu's
    items of these functions, the way a new user tries them: no key ends the run with an error report, and each one
    shows its work. The player's "s" copies the MP3's download link."""
    drive = os.path.join(scratch, "c")
    data = install_local_service(tools_dir, drive)
    if not os.path.exists(os.path.join(files_of(data, "demo@nubrado.local"), "Música", "demonstração.mp3")):
        print("skipped: the demonstration MP3 needs espeak-ng and lame")
        raise Skip()
    keys = "".join(key for key, _ in WALK)
    started = time.monotonic()
    run = run_nubrado(nubrado, drive, keys, scratch, fast=fast, timeout=900)
    elapsed = time.monotonic() - started
    show(run)
    expect(run.status == 0, f"exit status {run.status}", run)
    expect(not any("Erro de execução" in line for line in run.console + run.speech), "an error report", run)
    lines = without_noise(run.console)
    at = 0
    for key, shown in WALK:
        if shown is None:
            continue
        expect(shown in lines[at:], f"after {key!r} no line {shown!r}", run)
        at = lines.index(shown, at) + 1
    expect(lines[-1] == "Até logo.", "the session did not end by leaving", run)
    exports = state_lines(data, "export")
    expect(["demo@nubrado.local", "/Música/demonstração.mp3"] in [e[:2] for e in exports],
           f"the player's s made no link: {exports}", run)
    for name in ("bem-vindo.txt", "Pasta nova"):
        expect(os.path.exists(os.path.join(drive, "nubrado", "downloads", name)), f"{name} was not downloaded", run)
    print(f"every key, {'--fast' if fast else 'in real time'}: {elapsed:.1f} s")


SCENARIOS = {
    "names_with_quotes": scenario_names_with_quotes,
    "cloud_walk_every_key": scenario_cloud_walk_every_key,
    # The same walk at the speed a user meets it; minutes long, so it is
    # run by hand to measure, not by ctest.
    "cloud_walk_every_key_real_time": lambda *args: scenario_cloud_walk_every_key(*args, fast=False),
    "cloud_player": scenario_cloud_player,
    "cloud_links": scenario_cloud_links,
    "cloud_sync": scenario_cloud_sync,
    "cloud_contacts": scenario_cloud_contacts,
    "functions_answers": scenario_functions_answers,
    "functions_failures": scenario_functions_failures,
}


def main():
    return run_scenario_from_arguments(SCENARIOS, __doc__)


if __name__ == "__main__":
    sys.exit(main())
